#pragma once
// The command lines a user ran, newest first: a line run again moves to the
// front, blank lines are not kept, and only the last ten are.
#include <string>
#include <vector>

constexpr size_t kRecentCommands = 10;

std::vector<std::string> withRecentCommand(std::vector<std::string> recent, const std::string& line);
