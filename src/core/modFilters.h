#pragma once
#include <cstdint>

#include "core/modEncodings.h"

// True when the packet is to be hidden, by the protocol settings at the moment
// of the call: its protocol class is hidden, it is an IPv4 packet while "IP"
// is down or another frame while "Ethernet" is down, check boxes are
// ticked and it matches none of them, or it passes all that and the "Show
// only" expression does not match it.
bool filterPacket(int64_t packetNumber);

// Whether the stored packet is what the check box stands for. The transport
// header is found behind the IP header's own length; a frame too short to
// hold the bytes looked at, or a later fragment, matches nothing.
bool packetMatches(PacketMatch match, int64_t packetNumber);
