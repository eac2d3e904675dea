#pragma once
// Playing packets at the pace they were captured: the wait between two
// packets is the time between their capture times, scaled by a factor and
// never longer than two seconds. A packet without a time, or a pair whose
// times go backwards, falls back to the player's numeric speed and to no
// wait respectively.
#include <array>
#include <cstdint>

#include "core/captureTime.h"

// Played this many times faster than captured: numerator / denominator.
struct PaceFactor {
    const char* caption;
    int64_t numerator;
    int64_t denominator;
};
inline constexpr std::array<PaceFactor, 4> kPaceFactors{{
    {"\u00d71", 1, 1}, {"\u00d710", 10, 1}, {"\u00d7100", 100, 1}, {"\u00f710", 1, 10}}};

// No wait between two packets lasts longer, however far apart they were captured.
inline constexpr int64_t kLongestPaceWaitNs = 2'000'000'000;

struct PaceWait {
    int64_t ns;        // how long after the first packet the second one is shown
    bool shortened;    // the captured gap would have made a longer wait
    int64_t gapNs;     // the captured gap (0 without times)
};

// The wait from a packet captured at `from` to the next, captured at `to`;
// `untimedNs` when either time is unknown.
constexpr PaceWait paceWait(CaptureTime from, CaptureTime to, const PaceFactor& factor, int64_t untimedNs)
{
    if (from == kNoTime || to == kNoTime) return {untimedNs, false, 0};
    const int64_t gap = forwardGap(from, to);
    // Compared before scaling, so a gap of centuries cannot overflow.
    if (gap > kLongestPaceWaitNs / factor.denominator * factor.numerator) return {kLongestPaceWaitNs, true, gap};
    return {gap * factor.denominator / factor.numerator, false, gap};
}
