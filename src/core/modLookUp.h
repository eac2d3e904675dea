#pragma once
#include <cstdint>
#include <string_view>

// The keyword of an IP protocol number: the assigned names for 0..137,
// "Unassigned" for 138..252, "Experimental" for 253 and 254, "Reserved" for
// 255, and the empty string for anything else.
std::string_view protocolName(int32_t protocol);
