#include "packetComments.h"

#include <algorithm>
#include <cstring>

#include "modLibrary.h"

namespace {
// A flat side table, so that a load with a comment on every frame allocates
// nothing per frame: the commented packets by number, ascending, each naming
// its record in one text buffer (per comment its length in 4 bytes, then its
// bytes). A load appends at the back and the ring forgets at the front, both
// in constant time; an edit in between is rare and appends a new record.
struct Entry {
    int64_t packet;
    size_t at;     // where its record begins in `text`
    size_t size;   // the record's bytes
};
std::vector<Entry> entries;
size_t head = 0;         // entries before it are of packets the ring overwrote
std::string text;
size_t liveBytes = 0;    // of `text`, in the records of entries from `head`
uint64_t generationEdited = 0;   // the filling whose comments the user edited
bool edited = false;

// Capacity kept over an emptied store so that the next load reuses it; more is given back.
constexpr size_t kKeptTextBytes = size_t(1) << 22;

// Copies the live records to the front once the dead ones outweigh them, so
// that the table stays within twice what it holds.
void compactIfWasteful()
{
    const size_t live = entries.size() - head;
    if (head <= live + 1024 && text.size() - liveBytes <= liveBytes + kKeptTextBytes / 4) return;
    std::string kept;
    kept.reserve(liveBytes);
    for (size_t k = head; k < entries.size(); ++k) {
        Entry& e = entries[k];
        kept.append(text, e.at, e.size);
        e.at = kept.size() - e.size;
    }
    entries.erase(entries.begin(), entries.begin() + ptrdiff_t(head));
    head = 0;
    text.swap(kept);
}

// Drops the comments of packets the ring has overwritten.
void forgetGone()
{
    const int64_t first = firstHeldPacket();
    while (head < entries.size() && entries[head].packet < first) liveBytes -= entries[head++].size;
    compactIfWasteful();
}

std::vector<Entry>::iterator atOrAfter(int64_t n)
{
    forgetGone();
    return std::lower_bound(entries.begin() + ptrdiff_t(head), entries.end(), n,
                            [](const Entry& e, int64_t k) { return e.packet < k; });
}

std::vector<Entry>::iterator find(int64_t n)
{
    const auto at = atOrAfter(n);
    return at != entries.end() && at->packet == n ? at : entries.end();
}

// Appends the record of `comments` to the text; its size.
size_t appendRecord(const FrameComments& comments)
{
    const size_t before = text.size();
    for (const std::string& c : comments) {
        const auto length = uint32_t(c.size());
        text.append(reinterpret_cast<const char*>(&length), sizeof length);
        text.append(c);
    }
    liveBytes += text.size() - before;
    return text.size() - before;
}
}

std::optional<FrameComments> packetComments(int64_t n)
{
    const auto found = find(n);
    if (found == entries.end()) return std::nullopt;
    FrameComments comments;
    for (size_t at = found->at; at < found->at + found->size;) {
        uint32_t length;
        std::memcpy(&length, text.data() + at, sizeof length);
        comments.emplace_back(text, at + sizeof length, length);
        at += sizeof length + length;
    }
    return comments;
}

bool hasPacketComments(int64_t n) { return find(n) != entries.end(); }

void setPacketComments(int64_t n, const FrameComments& comments)
{
    if (n < firstHeldPacket() || n > getPacketCount()) return;
    forgetGone();
    if (head == entries.size() || entries.back().packet < n) {   // the newest packet: a load's every comment
        if (comments.empty()) return;
        const size_t start = text.size();
        entries.push_back({n, start, appendRecord(comments)});
        return;
    }
    const auto at = atOrAfter(n);
    const bool held = at->packet == n;
    if (held) liveBytes -= at->size;   // its record is dead now
    if (comments.empty()) {
        if (held) entries.erase(at);
        return;
    }
    const size_t start = text.size(), size = appendRecord(comments);
    if (held) *at = {n, start, size};
    else entries.insert(at, {n, start, size});
}

void editPacketComments(int64_t n, const FrameComments& comments)
{
    if (n < firstHeldPacket() || n > getPacketCount()) return;
    setPacketComments(n, comments);
    edited = true;
    generationEdited = storeGeneration();
}

void forgetPacketComments()
{
    entries.clear();
    head = 0;
    liveBytes = 0;
    text.clear();
    if (text.capacity() > kKeptTextBytes) std::string().swap(text);
}

bool packetCommentsEdited() { return edited && generationEdited == storeGeneration(); }

void packetCommentsSaved() { edited = false; }

int64_t commentedPacketCount()
{
    forgetGone();
    return int64_t(entries.size() - head);
}

int64_t nextCommentedPacket(int64_t n, int direction)
{
    if (direction > 0) {
        const auto after = atOrAfter(n + 1);
        return after == entries.end() ? 0 : after->packet;
    }
    const auto at = atOrAfter(n);
    return at == entries.begin() + ptrdiff_t(head) ? 0 : std::prev(at)->packet;
}
