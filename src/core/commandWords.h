#pragma once
// A command line split into its words as a POSIX shell would, without running
// one: blanks separate words; 'single quotes' keep everything; "double
// quotes" keep everything but \" \\ \$ \` and a backslash-newline; a
// backslash outside quotes keeps the next character. Nothing is expanded:
// no variables, globs, pipes or redirections (| and > are ordinary characters).
#include <string>
#include <vector>

struct CommandWords {
    std::vector<std::string> words;   // empty for a blank line
    std::string error;                // "the closing ' is missing", ...; empty when split
};

CommandWords splitCommandLine(const std::string& line);
