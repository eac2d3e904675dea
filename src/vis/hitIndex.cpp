#include "hitIndex.h"

#include <algorithm>
#include <cmath>

namespace {
// Candidates gathered by a query: the nearest first, then the newest; each packet once.
struct Candidate {
    double distance;
    uint32_t order;   // larger: drawn later
    int32_t packet;
};

std::vector<int32_t> ranked(std::vector<Candidate>& found)
{
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.order > b.order;
    });
    std::vector<int32_t> packets;
    for (const Candidate& c : found)
        if (std::find(packets.begin(), packets.end(), c.packet) == packets.end()) packets.push_back(c.packet);
    return packets;
}

// Distance from (px, py) to the segment in whole pixels, rounded down: the
// pixels a drawn line covers lie under one pixel from it.
double segmentDistance(double px, double py, double x0, double y0, double x1, double y1)
{
    const double dx = x1 - x0, dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
    return std::floor(d);
}
}

void RowHits::reset(int height)
{
    rows_.assign(size_t(std::max(0, height)), kNoPacket);
    origin_ = 0;
}

void RowHits::mark(int top, int bottom, int32_t packet)
{
    top = std::max(top, 0);
    bottom = std::min(bottom, height() - 1);
    for (int r = top; r <= bottom; ++r) rows_[slot(r)] = packet;
}

// As the picture does: turn the ring, then empty the rows uncovered.
void RowHits::scroll(int dy)
{
    const int h = height();
    if (dy == 0 || h == 0) return;
    if (dy >= h || -dy >= h) {
        std::fill(rows_.begin(), rows_.end(), kNoPacket);
        return;
    }
    origin_ = ((origin_ - dy) % h + h) % h;
    if (dy > 0) erase(0, dy - 1);
    else erase(h + dy, h - 1);
}

int32_t RowHits::at(int row) const { return row >= 0 && row < height() ? rows_[slot(row)] : kNoPacket; }

std::vector<int32_t> RowHits::packetsAt(int row) const
{
    const int32_t packet = at(row);
    if (packet == kNoPacket) return {};
    return {packet};
}

std::vector<HitBox> RowHits::boxesOf(int32_t packet, int width) const
{
    std::vector<HitBox> boxes;
    for (int r = 0; r < height(); ++r) {
        if (at(r) != packet || packet == kNoPacket) continue;
        if (!boxes.empty() && boxes.back().y + boxes.back().h == r) ++boxes.back().h;
        else boxes.push_back({0, r, width, 1});
    }
    return boxes;
}

void MarkHits::reset(int width, int height)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    cellsX_ = (width_ + kCell) / kCell;   // the right and bottom edges (x = width) are drawn on too
    cellsY_ = (height_ + kCell) / kCell;
    stamp_ = 0;
    marks_.assign(size_t(cellsX_) * cellsY_ * kPerCell, Mark{});
    count_.assign(size_t(cellsX_) * cellsY_, 0);
    next_.assign(size_t(cellsX_) * cellsY_, 0);
}

void MarkHits::add(int cellX, int cellY, const Mark& m)
{
    if (cellX < 0 || cellY < 0 || cellX >= cellsX_ || cellY >= cellsY_) return;
    const size_t cell = size_t(cellY) * cellsX_ + cellX;
    marks_[cell * kPerCell + next_[cell]] = m;
    next_[cell] = uint8_t((next_[cell] + 1) % kPerCell);
    if (count_[cell] < kPerCell) ++count_[cell];
}

void MarkHits::addDisc(int32_t packet, int x, int y, int radius)
{
    const Mark m{++stamp_, packet, int16_t(x), int16_t(y), int16_t(radius), 0, true};
    const int left = std::max(0, x - radius) / kCell, right = std::max(0, x + radius) / kCell;
    const int top = std::max(0, y - radius) / kCell, bottom = std::max(0, y + radius) / kCell;
    for (int cy = top; cy <= bottom; ++cy)
        for (int cx = left; cx <= right; ++cx) add(cx, cy, m);
}

// Column of cells by column of cells, the cells the segment's pixels can
// fall in: the rows it spans over that column's x range.
void MarkHits::addSegment(int32_t packet, int x0, int y0, int x1, int y1)
{
    if (x1 < x0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const Mark m{++stamp_, packet, int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1), false};
    const int firstColumn = std::max(0, x0) / kCell, lastColumn = std::min(std::max(0, x1) / kCell, cellsX_ - 1);
    for (int cx = firstColumn; cx <= lastColumn; ++cx) {
        int ya = y0, yb = y1;
        if (x1 != x0) {
            const double left = std::max(x0, cx * kCell) - 0.5, right = std::min(x1, cx * kCell + kCell - 1) + 0.5;
            const double slope = double(y1 - y0) / (x1 - x0);
            ya = int(std::floor(y0 + slope * (std::max(left, double(x0)) - x0)));
            yb = int(std::floor(y0 + slope * (std::min(right, double(x1)) - x0)));
        }
        if (ya > yb) std::swap(ya, yb);
        const int top = std::max(0, ya - 1) / kCell, bottom = std::min(std::max(0, yb + 1) / kCell, cellsY_ - 1);
        for (int cy = top; cy <= bottom; ++cy) add(cx, cy, m);
    }
}

std::vector<int32_t> MarkHits::at(int x, int y, int reach) const
{
    std::vector<Candidate> found;
    const int left = std::max(0, x - reach) / kCell, right = std::min(cellsX_ - 1, std::max(0, x + reach) / kCell);
    const int top = std::max(0, y - reach) / kCell, bottom = std::min(cellsY_ - 1, std::max(0, y + reach) / kCell);
    for (int cy = top; cy <= bottom; ++cy)
        for (int cx = left; cx <= right; ++cx) {
            const size_t cell = size_t(cy) * cellsX_ + cx;
            for (int i = 0; i < count_[cell]; ++i) {
                const Mark& m = marks_[cell * kPerCell + i];
                double d;
                if (m.disc) {
                    const double centre = std::hypot(x - m.x0, y - m.y0);
                    d = std::max(0.0, std::floor(centre) - m.x1);
                } else {
                    d = segmentDistance(x, y, m.x0, m.y0, m.x1, m.y1);
                }
                if (d <= reach) found.push_back({d, m.stamp, m.packet});
            }
        }
    return ranked(found);
}

std::vector<HitBox> MarkHits::boxesOf(int32_t packet) const
{
    constexpr int kEnd = 2;   // half the box around a segment's end
    std::vector<HitBox> boxes;
    const auto add = [&boxes](HitBox b) {
        if (std::find(boxes.begin(), boxes.end(), b) == boxes.end()) boxes.push_back(b);
    };
    for (size_t cell = 0; cell < count_.size(); ++cell)
        for (int i = 0; i < count_[cell]; ++i) {
            const Mark& m = marks_[cell * kPerCell + i];
            if (m.packet != packet) continue;
            if (m.disc) {
                add({m.x0 - m.x1 - 1, m.y0 - m.x1 - 1, 2 * m.x1 + 3, 2 * m.x1 + 3});
            } else {
                add({m.x0 - kEnd, m.y0 - kEnd, 2 * kEnd + 1, 2 * kEnd + 1});
                add({m.x1 - kEnd, m.y1 - kEnd, 2 * kEnd + 1, 2 * kEnd + 1});
            }
        }
    return boxes;
}

void ColumnHits::reset(int width, int newestX, int step)
{
    width_ = std::max(0, width);
    newestX_ = newestX;
    step_ = step == 0 ? 1 : step;
    pending_.clear();
    // Columns that can be in sight at once, and one more for the quantum arriving.
    columns_.assign(size_t(width_ / std::abs(step_) + 2), {});
    head_ = 0;
    shown_ = 0;
}

void ColumnHits::addDot(int y, int32_t packet) { pending_.push_back({y, packet}); }

void ColumnHits::completeQuantum()
{
    if (columns_.empty()) return;
    head_ = (head_ + columns_.size() - 1) % columns_.size();
    columns_[head_].swap(pending_);
    pending_.clear();
    shown_ = std::min(shown_ + 1, columns_.size());
}

std::vector<int32_t> ColumnHits::at(int x, int y, int reach) const
{
    std::vector<Candidate> found;
    for (size_t q = 0; q < shown_; ++q) {
        const int columnX = newestX_ + step_ * int(q);
        if (columnX < 0 || columnX >= width_) continue;
        const int dx = std::abs(x - columnX);
        if (dx > reach) continue;
        const std::vector<Dot>& column = columns_[(head_ + q) % columns_.size()];
        for (size_t i = 0; i < column.size(); ++i) {
            const int d = std::max(dx, std::abs(y - column[i].y));
            // Later columns are older; within a column, later dots are newer.
            if (d <= reach) found.push_back({double(d), uint32_t((columns_.size() - q) * 65536 + i), column[i].packet});
        }
    }
    return ranked(found);
}

std::vector<HitBox> ColumnHits::boxesOf(int32_t packet) const
{
    std::vector<HitBox> boxes;
    for (size_t q = 0; q < shown_; ++q)
        for (const Dot& d : columns_[(head_ + q) % columns_.size()])
            if (d.packet == packet) boxes.push_back({newestX_ + step_ * int(q) - 1, d.y - 1, 3, 3});
    return boxes;
}
