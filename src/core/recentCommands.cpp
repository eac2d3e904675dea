#include "recentCommands.h"

#include <algorithm>

std::vector<std::string> withRecentCommand(std::vector<std::string> recent, const std::string& line)
{
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return recent;
    const std::string trimmed = line.substr(first, line.find_last_not_of(" \t") + 1 - first);
    recent.erase(std::remove(recent.begin(), recent.end(), trimmed), recent.end());
    recent.insert(recent.begin(), trimmed);
    if (recent.size() > kRecentCommands) recent.resize(kRecentCommands);
    return recent;
}
