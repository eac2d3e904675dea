// nivora-cli: the packet store and file formats without a window.
#include <cstdio>
#include <cstring>

#include "cliCommand.h"

namespace {
std::vector<CliCommand>& table()
{
    static std::vector<CliCommand> commands;
    return commands;
}

int usage(FILE* out)
{
    std::fprintf(out, "usage: nivora-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const CliCommand& c : table()) {
        if (std::strlen(c.usage) <= 38) std::fprintf(out, "  %-38s  %s\n", c.usage, c.summary);
        else std::fprintf(out, "  %s\n  %-38s  %s\n", c.usage, "", c.summary);   // a long usage gets a line of its own
    }
    return out == stdout ? 0 : 2;
}
}

bool registerCliCommand(const CliCommand& command)
{
    table().push_back(command);
    return true;
}

const std::vector<CliCommand>& cliCommands() { return table(); }

int main(int argc, char** argv)
{
    if (argc < 2) return usage(stderr);
    if (!std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))
        return usage(stdout);
    for (const CliCommand& c : table()) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        return c.run(CliArgs(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "nivora-cli: unknown command '%s'\n", argv[1]);
    return usage(stderr);
}
