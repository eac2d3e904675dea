#pragma once
// Where the bulk of a file's capture times lies, so that a few far-off times
// (a clock that jumped, a device that restarted in 1970) do not stretch the
// time axis of its overview: a time is far off when it lies further before
// or after the times of all but the earliest and latest 1 frame in 100 than
// those times span. Learnt from an evenly thinned sample, so memory stays
// fixed however long the file is.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "captureTime.h"

struct TimeSpan {
    CaptureTime first = 0;
    CaptureTime last = 0;
    bool contains(CaptureTime t) const { return t >= first && t <= last; }
};

class TimeBulk {
public:
    static constexpr size_t kMaxSamples = size_t(1) << 16;   // 512 KB

    // The next frame's time, in file order.
    void add(CaptureTime t);
    // The times that are not far off.
    TimeSpan near() const;
    // Whether any time added lies outside near().
    bool anyFar() const;

private:
    std::vector<CaptureTime> samples_;   // every stride_-th time
    int64_t stride_ = 1;
    int64_t seen_ = 0;
    CaptureTime lowest_ = 0, highest_ = 0;
};
