#pragma once
// When a frame was captured and how long it was on the wire: what a capture
// file keeps about each frame besides its bytes (a dataset keeps neither).
#include <cstdint>

#include "captureTime.h"

struct FrameStamp {
    CaptureTime time = kNoTime;
    uint32_t wireLength = 0;    // the frame's length on the wire, at least its captured bytes
};

// The time of a frame libpcap read at nanosecond precision. A pcap file (not
// pcapng) keeps its seconds in 32 unsigned bits, which reach 2106; libpcap
// hands them over as a signed number, negative past 2038. A pcapng time
// beyond the years 1678 to 2261 does not fit: the frame has no time.
constexpr CaptureTime pcapFrameTime(int64_t seconds, int64_t nanoseconds, bool seconds32)
{
    if (seconds32) seconds = int64_t(uint32_t(seconds));
    constexpr int64_t kFurthest = std::numeric_limits<int64_t>::max() / kNsPerSecond - 1;
    if (seconds > kFurthest || seconds < -kFurthest) return kNoTime;
    return captureTimeOf(seconds, nanoseconds, kNsPerSecond);
}
