#pragma once
// A deterministic mix of made-up traffic for trying the views: web and mail
// sessions with readable payloads, an encrypted-looking session, a port scan,
// a DNS burst, pings and a traceroute, IP fragments, ARP and other non-IP frames.
#include <cstdint>
#include <vector>

using Frame = std::vector<uint8_t>;

// Exactly `count` Ethernet frames (60 to 1514 bytes), the same for the same count.
std::vector<Frame> makeSampleTraffic(int count);
