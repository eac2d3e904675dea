#pragma once
// Which held packets came from another link type and had their header
// replaced (linkHeader.h), so the detail view can say so. Plain data beside
// the store: runs of packet numbers, forgotten when the store is emptied.
#include <cstdint>

// Packet `packet`, just stored, had link type `linkType` before it became Ethernet.
void noteLinkType(int64_t packet, int linkType);
// The link type a held packet had; Ethernet unless noted otherwise.
int linkTypeOfPacket(int64_t packet);
