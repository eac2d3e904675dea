#include "packetComments.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "modLibrary.h"

namespace {
// By packet number, ascending: a load appends at the back and the ring
// forgets at the front, both in constant time; an edit in between is rare.
using Commented = std::pair<int64_t, FrameComments>;
std::deque<Commented> byPacket;
uint64_t generationEdited = 0;   // the filling whose comments the user edited
bool edited = false;

// Drops the comments of packets the ring has overwritten.
void forgetGone()
{
    const int64_t first = firstHeldPacket();
    while (!byPacket.empty() && byPacket.front().first < first) byPacket.pop_front();
}

std::deque<Commented>::iterator atOrAfter(int64_t n)
{
    return std::lower_bound(byPacket.begin(), byPacket.end(), n, [](const Commented& c, int64_t k) { return c.first < k; });
}
}

const FrameComments* packetComments(int64_t n)
{
    forgetGone();
    const auto found = atOrAfter(n);
    return found != byPacket.end() && found->first == n ? &found->second : nullptr;
}

void setPacketComments(int64_t n, FrameComments comments)
{
    forgetGone();
    if (n < firstHeldPacket() || n > getPacketCount()) return;
    if (byPacket.empty() || byPacket.back().first < n) {   // the newest packet: a load's every comment
        if (!comments.empty()) byPacket.emplace_back(n, std::move(comments));
        return;
    }
    const auto at = atOrAfter(n);
    const bool held = at->first == n;
    if (comments.empty()) {
        if (held) byPacket.erase(at);
    } else if (held) {
        at->second = std::move(comments);
    } else {
        byPacket.emplace(at, n, std::move(comments));
    }
}

void editPacketComments(int64_t n, FrameComments comments)
{
    if (n < firstHeldPacket() || n > getPacketCount()) return;
    setPacketComments(n, std::move(comments));
    edited = true;
    generationEdited = storeGeneration();
}

void forgetPacketComments() { byPacket.clear(); }

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
        const auto after = atOrAfter(n + 1);
        return after == byPacket.end() ? 0 : after->first;
    }
    const auto at = atOrAfter(n);
    return at == byPacket.begin() ? 0 : std::prev(at)->first;
}
