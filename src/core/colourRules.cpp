#include "colourRules.h"

#include <cstdio>
#include <sstream>

#include "accessors.h"
#include "modEncodings.h"

namespace {
std::vector<ColourRule> rules;
// The colour of the packet asked for last: every view asks for each packet it draws.
struct Remembered {
    int64_t packet = 0;
    uint64_t rulesGeneration = 0, storeGeneration = 0;
    ColorRef colour = 0;
} remembered;
uint64_t generation = 1;
constexpr ColorRef kNoRuleColour = 0xFFFFFFFF;   // no colour a rule can hold (it has 24 bits)
}

const std::vector<ColourRule>& colourRules() { return rules; }

void setColourRules(std::vector<ColourRule> given)
{
    rules = std::move(given);
    ++generation;
}

ColorRef packetColour(int64_t n)
{
    if (rules.empty()) return encodingColor(getIPProtocol(n));
    // The protocol colours may change between two asks, so only a rule's colour is remembered.
    if (remembered.packet == n && remembered.rulesGeneration == generation && remembered.storeGeneration == storeGeneration())
        return remembered.colour == kNoRuleColour ? encodingColor(getIPProtocol(n)) : remembered.colour;
    ColorRef colour = kNoRuleColour;
    const uint8_t* bytes = packetBytesOf(n);
    const uint32_t captured = uint32_t(getPacketLength(n)) + 1, wire = getWireLength(n);
    for (const ColourRule& rule : rules)
        if (rule.enabled && rule.expression.matches(bytes, captured, wire)) {
            colour = rule.colour;
            break;
        }
    remembered = {n, generation, storeGeneration(), colour};
    return colour == kNoRuleColour ? encodingColor(getIPProtocol(n)) : colour;
}

std::string colourText(ColorRef c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", redOf(c), greenOf(c), blueOf(c));
    return text;
}

bool parseColour(const std::string& text, ColorRef& colour)
{
    if (text.size() != 7 || text[0] != '#') return false;
    unsigned value = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return false;
        value = value << 4 | unsigned(digit);
    }
    colour = rgb(int(value >> 16), int(value >> 8), int(value));
    return true;
}

std::string colourRulesText(const std::vector<ColourRule>& given)
{
    std::string text = "# nivora colour rules: the first enabled rule that matches a packet gives its colour\n";
    for (const ColourRule& rule : given)
        text += (rule.enabled ? "" : "off ") + colourText(rule.colour) + " " + rule.expression.text() + "\n";
    return text;
}

bool parseColourRules(const std::string& text, std::vector<ColourRule>& parsed, std::string& error)
{
    std::vector<ColourRule> read;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || line.rfind("# ", 0) == 0 || line == "#") continue;
        ColourRule rule;
        if (word == "off") {
            rule.enabled = false;
            words >> word;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!parseColour(word, rule.colour)) {
            error = where + "\"" + word + "\" is not a colour as #rrggbb";
            return false;
        }
        std::string expression;
        std::getline(words, expression);
        std::string why;
        const std::optional<FilterExpression> compiled = FilterExpression::compile(expression, why);
        if (!compiled) {
            error = where + why;
            return false;
        }
        rule.expression = *compiled;
        read.push_back(std::move(rule));
    }
    parsed = std::move(read);
    return true;
}
