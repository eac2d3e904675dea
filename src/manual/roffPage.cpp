#include "roffPage.h"

#include <regex>
#include <sstream>
#include <stdexcept>

#include "cli/cliCommand.h"

std::string roffText(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else if (c == '\n') out += "\n";
        else out += c;
        // A line starting with . or ' would be read as a request.
        if ((c == '.' || c == '\'') && (out.size() == 1 || out[out.size() - 2] == '\n')) out.insert(out.size() - 1, "\\&");
    }
    return out;
}

std::string roffOptionTag(const std::string& option)
{
    std::istringstream words(option);
    std::string word, tag;
    while (words >> word) {
        if (!tag.empty()) tag += ' ';
        std::string comma;
        if (word.back() == ',') {
            comma = ",";
            word.pop_back();
        }
        tag += (word[0] == '-' ? "\\fB" : "\\fI") + roffText(word) + "\\fR" + comma;
    }
    return tag;
}

std::string roffOptions(const OptionTable& options)
{
    std::string out;
    for (const OptionHelp& row : options)
        out += ".TP\n" + roffOptionTag(row.option) + "\n" + roffText(row.text) + (row.text.ends_with('.') ? "\n" : ".\n");
    return out;
}

std::string roffCommands(const std::string& program, const std::vector<CliCommand>& commands)
{
    std::string out;
    for (const CliCommand& c : commands) {
        const std::string usage = c.usage;
        const size_t space = usage.find(' ');
        out += ".SS " + std::string(c.name) + "\n.PP\n\\fB" + roffText(program + " " + c.name) + "\\fR";
        if (space != std::string::npos) out += roffText(usage.substr(space));
        out += "\n.PP\n" + roffText(c.summary) + ".\n" + roffOptions(c.options);
    }
    return out;
}

std::string fillTemplate(const std::string& text, const std::map<std::string, std::string>& values)
{
    // Every marker of the template must be filled; what fills it is never read as a marker.
    const std::regex marker("@([A-Z_]+)@");
    std::string filled;
    auto rest = text.cbegin();
    for (std::sregex_iterator it(text.cbegin(), text.cend(), marker), end; it != end; ++it) {
        const auto value = values.find((*it)[1].str());
        if (value == values.end()) throw std::runtime_error("nothing fills " + it->str());
        filled.append(rest, (*it)[0].first).append(value->second);
        rest = (*it)[0].second;
    }
    return filled.append(rest, text.cend());
}
