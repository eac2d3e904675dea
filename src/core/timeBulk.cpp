#include "timeBulk.h"

#include <algorithm>
#include <limits>

void TimeBulk::add(CaptureTime t)
{
    lowest_ = seen_ == 0 ? t : std::min(lowest_, t);
    highest_ = seen_ == 0 ? t : std::max(highest_, t);
    if (seen_++ % stride_ != 0) return;
    if (samples_.size() == kMaxSamples) {   // keep every other: the stride doubles
        for (size_t k = 0; k < samples_.size() / 2; ++k) samples_[k] = samples_[2 * k];
        samples_.resize(samples_.size() / 2);
        stride_ *= 2;   // the time at hand, kMaxSamples old strides in, is a sample of the new one too
    }
    samples_.push_back(t);
}

bool TimeBulk::anyFar() const
{
    if (samples_.empty()) return false;
    const TimeSpan span = near();
    return !span.contains(lowest_) || !span.contains(highest_);
}

TimeSpan TimeBulk::near() const
{
    if (samples_.empty()) return {};
    std::vector<CaptureTime> sorted = samples_;
    std::sort(sorted.begin(), sorted.end());
    const size_t edge = sorted.size() / 100;
    const CaptureTime low = sorted[edge], high = sorted[sorted.size() - 1 - edge];
    // Widened by the bulk's own span at each end, saturating at the ends of the time line.
    const __int128 span = std::max<__int128>(1, __int128(high) - low);
    const auto clamp = [](__int128 t) {
        return CaptureTime(std::clamp<__int128>(t, std::numeric_limits<CaptureTime>::min() + 1, std::numeric_limits<CaptureTime>::max()));
    };
    return {clamp(low - span), clamp(high + span)};
}
