#include "drawnSequence.h"

#include <algorithm>

void DrawnSequence::clear()
{
    runs_.clear();
    size_ = 0;
    endPosition_ = 0;
}

void DrawnSequence::append(int64_t first, int64_t last)
{
    if (first > last) return;
    const int64_t n = last - first + 1;
    if (!runs_.empty() && runs_.back().last + 1 == first && runs_.back().endPosition() == endPosition_) {
        runs_.back().last = last;
    } else {
        runs_.push_back({endPosition_, first, last});
        if (runs_.size() > kMaxRuns) forgetOldestRuns();
    }
    lowest_ = size_ == 0 ? first : std::min(lowest_, first);
    size_ += n;
    endPosition_ += n;
}

void DrawnSequence::forgetOldestRuns()
{
    bool lowestGone = false;
    while (runs_.size() > kMaxRuns) {
        size_ -= runs_.front().count();
        lowestGone = lowestGone || runs_.front().first <= lowest_;
        runs_.pop_front();
    }
    if (lowestGone) findLowest();
}

void DrawnSequence::findLowest()
{
    if (runs_.empty()) return;
    lowest_ = runs_.front().first;
    for (const PacketRun& r : runs_) lowest_ = std::min(lowest_, r.first);
}

void DrawnSequence::dropBelow(int64_t oldest)
{
    // Every frame of a full ring raises oldest by one: the common case, the
    // lowest packet still in it, costs one comparison.
    if (runs_.empty() || lowest_ >= oldest) return;
    for (auto r = runs_.begin(); r != runs_.end();) {
        if (r->last < oldest) {
            size_ -= r->count();
            r = runs_.erase(r);
            continue;
        }
        if (r->first < oldest) {
            size_ -= oldest - r->first;
            r->position += oldest - r->first;
            r->first = oldest;
        }
        ++r;
    }
    findLowest();
}

void DrawnSequence::truncate(int64_t position)
{
    position = std::max<int64_t>(position, 0);
    if (position >= endPosition_) return;
    while (!runs_.empty() && runs_.back().position >= position) {
        size_ -= runs_.back().count();
        runs_.pop_back();
    }
    if (!runs_.empty() && runs_.back().endPosition() > position) {
        size_ -= runs_.back().endPosition() - position;
        runs_.back().last = runs_.back().first + (position - runs_.back().position) - 1;
    }
    endPosition_ = position;
    findLowest();
}

size_t DrawnSequence::runIndexAtOrAfter(int64_t position) const
{
    const auto it = std::upper_bound(runs_.begin(), runs_.end(), position,
                                     [](int64_t p, const PacketRun& r) { return p < r.endPosition(); });
    return size_t(it - runs_.begin());
}

int64_t DrawnSequence::nextKept(int64_t position) const
{
    const size_t i = runIndexAtOrAfter(position);
    if (i == runs_.size()) return endPosition_;
    return std::max(position, runs_[i].position);
}

int64_t DrawnSequence::previousKept(int64_t position) const
{
    size_t i = runIndexAtOrAfter(position - 1);
    if (i < runs_.size() && runs_[i].position <= position - 1) return position - 1;
    if (i == 0) return -1;
    return runs_[i - 1].endPosition() - 1;
}

int64_t DrawnSequence::packetAt(int64_t position) const
{
    const size_t i = runIndexAtOrAfter(position);
    if (i == runs_.size() || runs_[i].position > position) return 0;
    return runs_[i].first + (position - runs_[i].position);
}

int64_t DrawnSequence::lastPositionOf(int64_t packet) const
{
    for (auto r = runs_.rbegin(); r != runs_.rend(); ++r)
        if (packet >= r->first && packet <= r->last) return r->position + (packet - r->first);
    return -1;
}

int64_t DrawnSequence::countBetween(int64_t from, int64_t to) const
{
    int64_t n = 0;
    for (size_t i = runIndexAtOrAfter(from); i < runs_.size() && runs_[i].position < to; ++i)
        n += std::min(to, runs_[i].endPosition()) - std::max(from, runs_[i].position);
    return n;
}
