#include "frameOverview.h"

#include <algorithm>

TrafficKind trafficKindOf(const uint8_t* frame, size_t size)
{
    if (size < 24 || frame[12] != 0x08 || frame[13] != 0x00) return TrafficKind::Other;
    switch (frame[23]) {
    case 6: return TrafficKind::Tcp;
    case 17: return TrafficKind::Udp;
    case 1: return TrafficKind::Icmp;
    default: return TrafficKind::Other;
    }
}

void FrameOverview::add(int64_t key, TrafficKind kind, uint32_t bytes)
{
    if (key < 0) return;
    while (key / width_ >= kMaxBins) {
        const size_t merged = (bins_.size() + 1) / 2;
        for (size_t k = 0; k < merged; ++k) {
            OverviewBin sum = bins_[2 * k];
            if (2 * k + 1 < bins_.size()) {
                const OverviewBin& next = bins_[2 * k + 1];
                for (int t = 0; t < kTrafficKinds; ++t) sum.frames[size_t(t)] += next.frames[size_t(t)];
                sum.bytes += next.bytes;
            }
            bins_[k] = sum;
        }
        bins_.resize(merged);
        width_ *= 2;
    }
    const size_t bin = size_t(key / width_);
    if (bins_.size() <= bin) bins_.resize(bin + 1);
    ++bins_[bin].frames[size_t(kind)];
    bins_[bin].bytes += bytes;
}

void FrameOverview::addToLast(const OverviewBin& more)
{
    if (more.total() == 0) return;
    if (bins_.empty()) bins_.resize(1);
    for (int t = 0; t < kTrafficKinds; ++t) bins_.back().frames[size_t(t)] += more.frames[size_t(t)];
    bins_.back().bytes += more.bytes;
}

TimeAxis::TimeAxis(const FrameOverview& byTime) : before_{0}
{
    for (const OverviewBin& b : byTime.bins()) before_.push_back(before_.back() + b.total());
}

double TimeAxis::fractionOf(double frame) const
{
    const size_t bins = before_.size() - 1;
    if (bins == 0 || before_.back() == 0) return 0;
    // The last bin whose frames begin at or before `frame`.
    const size_t b = size_t(std::upper_bound(before_.begin(), before_.end() - 1, int64_t(std::max(0.0, frame))) - before_.begin()) - 1;
    const double within = std::clamp((frame - double(before_[b])) / double(std::max<int64_t>(1, before_[b + 1] - before_[b])), 0.0, 1.0);
    return (double(b) + within) / double(bins);
}

double TimeAxis::frameAt(double fraction) const
{
    const size_t bins = before_.size() - 1;
    if (bins == 0) return 0;
    const double at = std::clamp(fraction, 0.0, 1.0) * double(bins);
    const size_t b = std::min(bins - 1, size_t(at));
    return double(before_[b]) + (at - double(b)) * double(before_[b + 1] - before_[b]);
}
