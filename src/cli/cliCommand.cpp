#include "cliCommand.h"

namespace {
std::vector<CliCommand>& table()
{
    static std::vector<CliCommand> commands;
    return commands;
}
}

bool registerCliCommand(const CliCommand& command)
{
    table().push_back(command);
    return true;
}

const std::vector<CliCommand>& cliCommands() { return table(); }

const OptionTable& cliProgramOptions()
{
    static const OptionTable options = {
        {"-h, --help", "print the commands and exit"},
        {"--version", "print the version and exit"},
    };
    return options;
}
