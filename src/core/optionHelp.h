#pragma once
// The options of a program or command, one row each: the one source of both
// its --help and its manual page, so the two never disagree.
#include <string>
#include <vector>

struct OptionHelp {
    std::string option;   // as typed, with its value: "--window A-B", "-h, --help"
    std::string text;     // what it does
};
using OptionTable = std::vector<OptionHelp>;

// The table as --help prints it: "options:" and one indented line an option,
// the texts aligned (a long option gets a line of its own); empty for no rows.
std::string optionHelpText(const OptionTable& options);

// The rows of `first` followed by those of `second`, for commands that share options.
OptionTable joinOptions(OptionTable first, const OptionTable& second);
