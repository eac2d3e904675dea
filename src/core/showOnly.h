#pragma once
// The "Show only" expression: a held packet it does not match is not drawn.
// It hides, it does not remove: the store, the player and the drawn sequence
// keep every packet.
#include <cstdint>
#include <string>
#include <vector>

#include "filterExpression.h"

const FilterExpression& showOnlyExpression();
void setShowOnlyExpression(const FilterExpression& expression);
// Changes with every expression set: what a count made under the last one is stale by.
uint64_t showOnlyGeneration();

// Whether held packet n passes the expression, on its stored bytes and wire length.
bool showOnlyMatches(int64_t packetNumber);
// How many of the held packets first..last the expression matches.
int64_t countShowOnlyMatches(int64_t first, int64_t last);

// How many expressions the "Show only" list remembers.
constexpr size_t kRecentExpressions = 10;
// The list after `used` was applied: it first, each text once, at most kRecentExpressions.
std::vector<std::string> withRecentExpression(std::vector<std::string> recent, const std::string& used);
