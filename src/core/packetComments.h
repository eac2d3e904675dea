#pragma once
// The comments on held packets, beside the ring: only commented packets take
// room, so a store without comments pays nothing. A packet's comments go when
// its slot is reused or the store is emptied (initBuffer).
#include <cstdint>
#include <optional>

#include "frameComments.h"

// Packet n's comments; none when it has none or is not held.
std::optional<FrameComments> packetComments(int64_t n);
bool hasPacketComments(int64_t n);
// Gives a held packet its comments (none removes them), as its file had them.
void setPacketComments(int64_t n, const FrameComments& comments);
// The same, by the user: the comments then exist in no file until saved.
void editPacketComments(int64_t n, const FrameComments& comments);
// Whether comments were edited since the store was filled or last saved with them.
bool packetCommentsEdited();
// Saved with the comments: they exist in a file now.
void packetCommentsSaved();
// Empties them with the store.
void forgetPacketComments();
// How many held packets have comments.
int64_t commentedPacketCount();
// The nearest held packet with comments after (direction +1) or before (-1)
// packet n; 0 when there is none.
int64_t nextCommentedPacket(int64_t n, int direction);
