#pragma once
// One line naming a stored packet, for the views' tool tips:
// "Packet 12  TCP  10.0.0.1:1000 > 10.0.0.2:80  length 60". Ports are given
// for TCP and UDP only; a packet the ring does not hold says so. A commented
// packet's line ends in "  comment: " and the start of its comments on one line.
#include <cstdint>
#include <string>

std::string packetSummary(int64_t packet);
