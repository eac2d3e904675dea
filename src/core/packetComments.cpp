#include "packetComments.h"

#include <map>

#include "modLibrary.h"

namespace {
std::map<int64_t, FrameComments> byPacket;   // by packet number, in order
uint64_t generationKept = 0;                 // the filling of the store they belong to
uint64_t generationEdited = 0;               // the filling whose comments the user edited
bool edited = false;

// Drops what belongs to an earlier filling of the store or to packets the ring has overwritten.
void forgetGone()
{
    if (byPacket.empty()) return;
    if (generationKept != storeGeneration()) {
        byPacket.clear();
        return;
    }
    byPacket.erase(byPacket.begin(), byPacket.lower_bound(firstHeldPacket()));
}
}

const FrameComments* packetComments(int64_t n)
{
    forgetGone();
    const auto found = byPacket.find(n);
    return found == byPacket.end() ? nullptr : &found->second;
}

void setPacketComments(int64_t n, FrameComments comments)
{
    forgetGone();
    generationKept = storeGeneration();
    if (n < firstHeldPacket() || n > getPacketCount()) return;
    if (comments.empty()) byPacket.erase(n);
    else byPacket[n] = std::move(comments);
}

void editPacketComments(int64_t n, FrameComments comments)
{
    if (n < firstHeldPacket() || n > getPacketCount()) return;
    setPacketComments(n, std::move(comments));
    edited = true;
    generationEdited = storeGeneration();
}

bool packetCommentsEdited() { return edited && generationEdited == storeGeneration(); }

void packetCommentsSaved() { edited = false; }

int64_t commentedPacketCount()
{
    forgetGone();
    return int64_t(byPacket.size());
}

int64_t nextCommentedPacket(int64_t n, int direction)
{
    forgetGone();
    if (direction > 0) {
        const auto after = byPacket.upper_bound(n);
        return after == byPacket.end() ? 0 : after->first;
    }
    auto before = byPacket.lower_bound(n);
    return before == byPacket.begin() ? 0 : (--before)->first;
}
