#pragma once
// What `nivora` was started with: nothing (an empty window), a file to open
// once the main window shows (a file manager's double-click), --help or
// --version. Read before any window exists, so --help needs no display.
#include <string>
#include <vector>

#include "core/optionHelp.h"

struct CommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    std::string file;      // Run: the dataset or capture to open, "-" for standard input; empty for none
    std::string problem;   // UsageError: what was wrong
};

CommandLine parseCommandLine(const std::vector<std::string>& words);   // the words after the program's name
const OptionTable& commandLineOptions();   // every option parseCommandLine knows
std::string commandLineUsage();

// Opens `path` as File ▸ Load Nivora Dataset would (the same messages and
// refusals), as soon as the event loop runs: after the main window shows.
// "-" reads standard input as a live stream in the capture window.
void openWhenShown(const std::string& path);
