#pragma once
// The packets the views were asked to draw since they were last cleared, in
// the order asked, so that every view can be drawn again from it. Kept as runs
// of consecutive packet numbers: a file or a capture of millions of frames in
// a row is one run, and memory grows with the runs, never with the packets.
//
// Every packet asked for takes the next position (0, 1, 2, ... from the
// clear). A position never changes its packet: packets that left the ring
// are dropped wherever they stand, and the positions of the others stay, so a
// reader (the dispatch's drawing cursor, a view's hit index) can hold a
// position while the sequence grows and sheds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>

struct PacketRun {
    int64_t position;   // of the first packet
    int64_t first;      // packet numbers first..last, first <= last
    int64_t last;
    int64_t count() const { return last - first + 1; }
    int64_t endPosition() const { return position + count(); }
};

class DrawnSequence {
public:
    // Beyond this many runs the oldest ones are forgotten (about 2 MB): a
    // player stepping to and fro for days cannot grow the sequence without end.
    static constexpr size_t kMaxRuns = 65536;

    void clear();
    // Packets first..last (nothing when first > last) take the next positions.
    void append(int64_t first, int64_t last);
    // Forgets every packet numbered below oldest: it left the ring.
    void dropBelow(int64_t oldest);
    // Forgets the packets at position and after (asked for but never drawn).
    void truncate(int64_t position);

    bool empty() const { return runs_.empty(); }
    int64_t size() const { return size_; }
    // One past the last position taken; the next packet appended takes it.
    int64_t endPosition() const { return endPosition_; }
    // The first kept position at or after position; endPosition() when none.
    int64_t nextKept(int64_t position) const;
    // The last kept position before position; -1 when none.
    int64_t previousKept(int64_t position) const;
    // The packet at a position; 0 when the position holds none (dropped, or
    // outside the sequence).
    int64_t packetAt(int64_t position) const;
    // The latest position of the packet; -1 when it is not in the sequence.
    int64_t lastPositionOf(int64_t packet) const;
    // How many kept positions lie in [from, to).
    int64_t countBetween(int64_t from, int64_t to) const;

    const std::deque<PacketRun>& runs() const { return runs_; }
    size_t memoryBytes() const { return runs_.size() * sizeof(PacketRun); }

    // Calls f(position, packet) for every kept position in [from, to), in order.
    template <class F>
    void forEachBetween(int64_t from, int64_t to, F&& f) const
    {
        for (size_t i = runIndexAtOrAfter(from); i < runs_.size() && runs_[i].position < to; ++i) {
            const PacketRun& r = runs_[i];
            const int64_t end = std::min(to, r.endPosition());
            for (int64_t pos = std::max(from, r.position); pos < end; ++pos) f(pos, r.first + (pos - r.position));
        }
    }

private:
    // The first run ending after position; runs_.size() when none.
    size_t runIndexAtOrAfter(int64_t position) const;
    void forgetOldestRuns();
    void findLowest();

    std::deque<PacketRun> runs_;   // ascending positions, not overlapping
    int64_t size_ = 0;
    int64_t endPosition_ = 0;
    int64_t lowest_ = 0;           // the lowest packet number kept; valid while not empty
};
