#pragma once
// Which packet drew a mark in a view's picture. Each view's drawing records
// the owner of every mark as it draws it, into tables bounded by the picture
// (never by the packets): a row table for the views that draw a packet per
// row, a grid of cells holding the discs and segments of the accumulating
// plots, and the columns of dots of the combined view's histories. Plain data,
// no windows; cleared with the picture.
#include <cstddef>
#include <cstdint>
#include <vector>

// Packet numbers start at 1; 0 is no packet.
constexpr int32_t kNoPacket = 0;

// Where a packet's mark lies, for outlining it: a box of pixels.
struct HitBox {
    int x, y, w, h;
    bool operator==(const HitBox&) const = default;
};

// One owner per pixel row.
class RowHits {
public:
    // All rows empty, as many as the picture has.
    void reset(int height);
    // Rows top..bottom belong to the packet (rows outside the picture are left out).
    void mark(int top, int bottom, int32_t packet);
    void erase(int top, int bottom) { mark(top, bottom, kNoPacket); }
    // As the picture's scrollRows(dy): rows move dy down, the uncovered ones are empty.
    void scroll(int dy);
    int32_t at(int row) const;
    // The row's packet as a list: empty, or the one packet.
    std::vector<int32_t> packetsAt(int row) const;
    // The packet's rows, a box for each band of them, as wide as given.
    std::vector<HitBox> boxesOf(int32_t packet, int width) const;
    int height() const { return int(rows_.size()); }

private:
    size_t slot(int row) const { return size_t((row + origin_) % height()); }

    std::vector<int32_t> rows_;   // a ring: picture row r is rows_[slot(r)]
    int origin_ = 0;
};

// Discs and line segments on a grid of square cells. Each cell keeps its
// newest kPerCell marks; older ones under them are forgotten, so the newest
// (topmost) always answers.
class MarkHits {
public:
    static constexpr int kCell = 16;
    static constexpr int kPerCell = 32;

    void reset(int width, int height);
    void addDisc(int32_t packet, int x, int y, int radius);
    void addSegment(int32_t packet, int x0, int y0, int x1, int y1);
    // The packets with a mark within reach pixels of (x, y): the nearest
    // first, and among marks as near, the last drawn (topmost) first; each once.
    std::vector<int32_t> at(int x, int y, int reach) const;
    // Boxes around the packet's discs and the ends of its segments.
    std::vector<HitBox> boxesOf(int32_t packet) const;

private:
    struct Mark {
        uint32_t stamp;   // drawing order
        int32_t packet;
        int16_t x0, y0, x1, y1;   // a segment; a disc is centre (x0, y0), radius x1
        bool disc;
    };
    void add(int cellX, int cellY, const Mark& m);

    int width_ = 0, height_ = 0, cellsX_ = 0, cellsY_ = 0;
    uint32_t stamp_ = 0;
    std::vector<Mark> marks_;      // kPerCell a cell, a ring
    std::vector<uint8_t> count_;   // marks written to the cell, saturating the ring
    std::vector<uint8_t> next_;    // the ring slot the next mark takes
};

// A history of single-pixel dots gathered a column per quantum: the newest
// complete column stands at x = newestX, each older one step pixels further
// (step < 0: the history grows to the left); columns past the picture's edge
// are forgotten.
class ColumnHits {
public:
    void reset(int width, int newestX, int step);
    // A dot of the quantum under way (not shown until the quantum completes).
    void addDot(int y, int32_t packet);
    // The quantum's dots become the newest column, the older ones move on.
    void completeQuantum();
    // The packets of the dots within reach of (x, y): nearest first, then the last drawn.
    std::vector<int32_t> at(int x, int y, int reach) const;
    // Boxes around the packet's dots in sight.
    std::vector<HitBox> boxesOf(int32_t packet) const;

private:
    struct Dot {
        int y;
        int32_t packet;
    };
    int width_ = 0, newestX_ = 0, step_ = 1;
    std::vector<Dot> pending_;
    // columns_[(head_ + q) % size]: the column q quanta old; q < shown_.
    std::vector<std::vector<Dot>> columns_;
    size_t head_ = 0;
    size_t shown_ = 0;
};
