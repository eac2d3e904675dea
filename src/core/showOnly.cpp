#include "showOnly.h"

#include "accessors.h"

#include <algorithm>

namespace {
FilterExpression current;
uint64_t generation = 0;
}

const FilterExpression& showOnlyExpression() { return current; }

void setShowOnlyExpression(const FilterExpression& expression)
{
    current = expression;
    ++generation;
}

uint64_t showOnlyGeneration() { return generation; }

bool showOnlyMatches(int64_t n)
{
    if (current.empty()) return true;
    return current.matches(packetBytesOf(n), uint32_t(getPacketLength(n)) + 1, getWireLength(n));
}

int64_t countShowOnlyMatches(int64_t first, int64_t last)
{
    if (current.empty()) return last >= first ? last - first + 1 : 0;
    int64_t matching = 0;
    for (int64_t n = first; n <= last; ++n) matching += showOnlyMatches(n);
    return matching;
}

std::vector<std::string> withRecentExpression(std::vector<std::string> recent, const std::string& used)
{
    if (used.empty()) return recent;
    recent.erase(std::remove(recent.begin(), recent.end(), used), recent.end());
    recent.insert(recent.begin(), used);
    if (recent.size() > kRecentExpressions) recent.resize(kRecentExpressions);
    return recent;
}
