#pragma once
// Bash completion for nivora and nivora-cli, written from the option tables
// and usage lines that give --help: what an option or argument completes to
// follows from the word naming its value (FILE, OUT, IFACE, ...).
#include <string>
#include <vector>

#include "core/optionHelp.h"

struct CliCommand;

struct CompletionWords {
    std::vector<std::string> pictures;   // for NAME (pick --view)
    std::vector<std::string> settings;   // for WINDOW.CONTROL=VALUE (--set)
};

// The words of a usage line that are arguments, not options or their values:
// "convert [--window A-B] IN OUT" gives IN, OUT.
std::vector<std::string> usageArguments(const std::string& usage);

std::string cliCompletion(const std::vector<CliCommand>& commands, const OptionTable& programOptions,
                          const CompletionWords& words);
// Both define the same helpers, so either may be loaded first.
std::string guiCompletion(const OptionTable& options, const CompletionWords& words);
