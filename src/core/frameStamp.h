#pragma once
// When a frame was captured and how long it was on the wire: what a capture
// file keeps about each frame besides its bytes (a dataset keeps neither).
#include <cstdint>

struct FrameStamp {
    int64_t seconds = 0;        // since 1970, UTC
    int32_t microseconds = 0;   // 0..999999
    uint32_t wireLength = 0;    // the frame's length on the wire, at least its captured bytes
};
