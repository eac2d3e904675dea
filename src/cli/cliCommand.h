#pragma once
// nivora-cli commands register themselves here; main() picks one by name.
#include <string>
#include <vector>

#include "core/optionHelp.h"

using CliArgs = std::vector<std::string>;   // the words after the command name

struct CliCommand {
    const char* name;
    const char* usage;                        // e.g. "fields [--labels] FILE"
    const char* summary;                      // one line for the help text
    int (*run)(const CliArgs& args);          // exit status
    OptionTable options;                      // every option of usage, for --help and the manual
};

// Call from a static initialiser in the command's own file:
//   static const bool registered = registerCliCommand({...});
bool registerCliCommand(const CliCommand& command);
// Hands the words to nivora-render (render and pick draw there); returns only when it cannot start.
int runRender(const CliArgs& args);
const std::vector<CliCommand>& cliCommands();
// The options of nivora-cli itself, before any command.
const OptionTable& cliProgramOptions();
