// nivora-cli: the packet store and file formats without a window.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/atomicFile.h"

namespace {
int usage(FILE* out)
{
    std::fprintf(out, "usage: nivora-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const CliCommand& c : cliCommands()) {
        if (std::strlen(c.usage) <= 38) std::fprintf(out, "  %-38s  %s\n", c.usage, c.summary);
        else std::fprintf(out, "  %s\n  %-38s  %s\n", c.usage, "", c.summary);   // a long usage gets a line of its own
    }
    std::fprintf(out, "\n%s\nnivora-cli COMMAND --help prints the options of COMMAND.\n",
                 optionHelpText(cliProgramOptions()).c_str());
    return out == stdout ? 0 : 2;
}

// Ctrl-C, kill or a closed terminal: no half-written file is left behind,
// then the program ends by the signal as it would have.
void endBySignal(int signal)
{
    removeUnfinishedFiles();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// What a command printed must have arrived: a full disk or a closed pipe is a failure.
int checkedOutput(int status)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    printError(std::string("cannot write the output") + (errno ? std::string(": ") + std::strerror(errno) : ""));
    return 1;
}
}

int main(int argc, char** argv)
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, endBySignal);
    if (argc < 2) return usage(stderr);
    if (!std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))
        return checkedOutput(usage(stdout));
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("nivora-cli %s\n", NIVORA_VERSION);
        return checkedOutput(0);
    }
    for (const CliCommand& c : cliCommands()) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        const CliArgs args(argv + 2, argv + argc);
        // "COMMAND --help" anywhere among the words: the command's usage, asked for.
        for (const std::string& word : args)
            if (word == "--help" || word == "-h") {
                std::printf("usage: nivora-cli %s\n\n%s\n", c.usage, c.summary);
                if (!c.options.empty()) std::printf("\n%s", optionHelpText(c.options).c_str());
                return checkedOutput(0);
            }
        return checkedOutput(c.run(args));
    }
    std::fprintf(stderr, "nivora-cli: unknown command '%s'\n", argv[1]);
    return usage(stderr);
}
