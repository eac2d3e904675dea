#pragma once
// The arithmetic of the playback window: the timer interval for a speed and
// the packet range picked with the buffer-range slider. Fractions are rounded
// to the nearest whole number, halves to the even neighbour.
#include <algorithm>
#include <cstdint>
#include <utility>

// num / den rounded to the nearest, halves to even; num >= 0, den > 0.
constexpr int64_t divideRoundHalfEven(int64_t num, int64_t den)
{
    int64_t q = num / den;
    const int64_t twiceRest = 2 * (num % den);
    if (twiceRest > den || (twiceRest == den && (q & 1))) ++q;
    return q;
}

// Milliseconds between two ticks at this many packets per second (1..1000):
// 10 gives 100, 3 gives 333, 6 gives 167, 400 gives 2, 1000 gives 1.
constexpr int timerIntervalForSpeed(int packetsPerSecond)
{
    return int(divideRoundHalfEven(1000, std::max(1, packetsPerSecond)));
}

// The first and last packet number picked by the thumbs: their positions
// minPos and maxPos, out of usable, mapped onto the held packets lo..hi.
// The outer limits (0 and usable) pick the whole range. An empty store
// (hi < lo) gives lo..hi unchanged, which draws nothing.
inline std::pair<int64_t, int64_t> bufferRangeFor(int minPos, int maxPos, int usable, int64_t lo, int64_t hi)
{
    if (hi < lo || usable <= 0) return {lo, hi};
    const int64_t span = hi - lo;
    auto at = [&](int pos) {
        const int64_t p = std::clamp<int64_t>(pos, 0, usable);
        return lo + divideRoundHalfEven(p * span, usable);
    };
    return {at(minPos), at(maxPos)};
}
