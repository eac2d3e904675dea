#pragma once
// The "Show only" expressions that follow one held packet: its source host,
// its destination host, or its conversation in both directions. An IPv4
// packet is followed by its addresses (and, for TCP and UDP, its ports); any
// other frame by its Ethernet addresses.
#include <cstdint>
#include <string>

enum class Follow { SourceHost, DestinationHost, Conversation };

std::string followExpression(Follow follow, int64_t packetNumber);
