#pragma once
// Capture times: when a frame arrived, as nanoseconds since 1970-01-01 UTC.
// 64 bits reach from the year 1677 to 2262, past the 32-bit limits of 2038
// and 2106; a frame whose file keeps no time (a dataset) has kNoTime.
#include <cstdint>
#include <limits>
#include <string>

using CaptureTime = int64_t;
inline constexpr CaptureTime kNoTime = std::numeric_limits<int64_t>::min();
inline constexpr int64_t kNsPerSecond = 1'000'000'000;

// seconds + fraction / fractionsPerSecond (fraction below fractionsPerSecond,
// which is 10^6 or 10^9), as nanoseconds.
constexpr CaptureTime captureTimeOf(int64_t seconds, int64_t fraction, int64_t fractionsPerSecond)
{
    return seconds * kNsPerSecond + fraction * (kNsPerSecond / fractionsPerSecond);
}

// Whole seconds (rounded down, so before 1970 too) and the nanoseconds past them.
constexpr int64_t secondsOf(CaptureTime t) { return t / kNsPerSecond - (t % kNsPerSecond < 0 ? 1 : 0); }
constexpr int64_t nanosecondsOf(CaptureTime t) { return t - secondsOf(t) * kNsPerSecond; }

// A time a microsecond resolution cannot carry.
constexpr bool hasSubMicroseconds(CaptureTime t) { return t != kNoTime && nanosecondsOf(t) % 1000 != 0; }

// A pcap record keeps its seconds in 32 unsigned bits: 1970 to 2106.
constexpr bool fitsPcap(CaptureTime t) { return t >= 0 && secondsOf(t) <= int64_t(UINT32_MAX); }

// From one held time to the next: backwards or unknown counts as no gap.
constexpr int64_t forwardGap(CaptureTime from, CaptureTime to)
{
    return from == kNoTime || to == kNoTime || to < from ? 0 : to - from;
}

// "1700000000.000001000": seconds since 1970 with 9 decimals; empty for kNoTime.
std::string epochSecondsText(CaptureTime t);
// "2023-11-14 23:13:20.000001": local time to the microsecond; empty for kNoTime.
std::string localTimeText(CaptureTime t);
// "0.100000 s", "-2.000001 s": a span to the microsecond.
std::string spanText(int64_t ns);
