#pragma once
// Colour rules: an ordered list of filter expressions, each with a colour.
// The first enabled rule that matches a packet gives the colour every view
// draws it in; a packet no rule matches keeps its protocol's colour.
//
// As text, one rule a line: the colour as #rrggbb, then the expression;
// "off" before the colour keeps a rule that is disabled. Blank lines and
// lines beginning with "# " are comments.
#include <cstdint>
#include <string>
#include <vector>

#include "colorRef.h"
#include "filterExpression.h"

struct ColourRule {
    bool enabled = true;
    ColorRef colour = rgb(255, 255, 255);
    FilterExpression expression;
};

// The program's rules, in order.
const std::vector<ColourRule>& colourRules();
void setColourRules(std::vector<ColourRule> rules);

// The colour packet n is drawn in: its rule's, or its protocol's.
ColorRef packetColour(int64_t packetNumber);

// "#00c000" and back; false when the text is no such colour.
std::string colourText(ColorRef colour);
bool parseColour(const std::string& text, ColorRef& colour);

std::string colourRulesText(const std::vector<ColourRule>& rules);
// The rules of `text`, or false with "line N: reason" (libpcap's for an expression) in error.
bool parseColourRules(const std::string& text, std::vector<ColourRule>& rules, std::string& error);
