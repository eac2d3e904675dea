#pragma once
#include <cstdint>

// True when the packet is to be hidden: its protocol class is hidden in the
// protocol settings at the moment of the call.
bool filterPacket(int64_t packetNumber);
