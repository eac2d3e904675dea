#include "optionHelp.h"

namespace {
constexpr size_t kOptionColumn = 28;   // the width of the option column, texts start after it
}

std::string optionHelpText(const OptionTable& options)
{
    if (options.empty()) return {};
    std::string text = "options:\n";
    for (const OptionHelp& row : options) {
        const std::string option = "  " + row.option;
        text += option;
        if (option.size() + 2 > kOptionColumn) text += "\n" + std::string(kOptionColumn, ' ');
        else text += std::string(kOptionColumn - option.size(), ' ');
        text += row.text;
        text += '\n';
    }
    return text;
}

OptionTable joinOptions(OptionTable first, const OptionTable& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
