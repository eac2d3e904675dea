#pragma once
#include <cstdint>

// True when the packet is to be hidden, by its IP protocol number and the
// protocol toggles of the "filters" window, read at the moment of the call.
bool filterPacket(int64_t packetNumber);
