#pragma once
// The index of a whole file, made in one streaming pass: how many frames it
// holds, where every K-th frame begins, and its overview. With it, a window of
// frames anywhere in the file is read by starting at most K - 1 frames before
// it. K starts small and doubles whenever the points would pass their limit,
// so the index stays within a few megabytes whatever the file's length
// (10,000,000 frames: K = 64, 2.5 MB).
#include <string>
#include <vector>

#include "frameOverview.h"
#include "frameStream.h"

struct FrameIndex {
    static constexpr int64_t kFirstStride = 64;
    static constexpr size_t kMaxPoints = size_t(1) << 18;   // 16 bytes each: 4 MB

    std::string path;
    FileKind kind = FileKind::Dataset;
    FileIdentity identity;                // the file as it was when the pass began
    StreamLayout layout;                  // what reading on from a point needs
    LoadReport report;                    // the pass: error, records met, what was skipped, damage
    int64_t frames = 0;                   // the file's frame numbers run 1..frames
    int64_t stride = kFirstStride;        // K
    std::vector<StreamPoint> points;      // points[i]: where frame i * K + 1 begins
    // latestBefore[i]: the latest capture time of frames 1..i * K (kNoTime
    // when none has one). It never decreases, so a time is found by halving.
    std::vector<CaptureTime> latestBefore;
    FrameOverview overview;               // by frame number
    // By capture time, nanoseconds after the first frame's (earlier times
    // count at 0); used when every frame has a time. When some times lie far
    // from the bulk of them (timeBulk.h), a second pass makes it span the
    // bulk alone, from the first time near it, and those frames count in its
    // first and last bins.
    FrameOverview byTime;
    CaptureTime byTimeOrigin = kNoTime;   // the time at byTime's key 0: the first frame's, or the first near the bulk
    CaptureTime firstTime = kNoTime;
    int64_t timedFrames = 0;
    int64_t farTimes = 0;        // frames whose times lie far before or after the bulk
    int64_t backwardSteps = 0;   // frames timed earlier than the frame before them

    bool timesKnown() const { return frames > 0 && timedFrames == frames; }
    // Whether an overview along the time shows the file: every frame has a
    // time, and at most 1 frame in 100 comes earlier than the one before it.
    bool timeAxisUsable() const { return timesKnown() && backwardSteps * 100 <= frames; }

    bool ok() const { return report.ok(); }
};

// One pass over the file, up to the size it had when the pass began. The
// observer hears fileOpened, progress and yieldPoint as for a load. (Tests
// lower maxPoints to see the stride double.)
FrameIndex indexFile(const std::string& path, LoadObserver& observer, size_t maxPoints = FrameIndex::kMaxPoints);

// Whether the file under the index's name is still the one indexed: the same
// file, size and modification time.
bool indexIsCurrent(const FrameIndex& index);
