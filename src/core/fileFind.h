#pragma once
// What a filter expression matches across a whole file: one streaming pass
// through the file's reader, counting the matching frames in bins (those the
// overview strip draws, or equal stretches of time), with the first and last
// match. The result names the file as it was searched, so that a file
// changed since is searched again; a pass may be stopped between frames and
// go on later from where it stopped.
#include <cstdint>
#include <string>
#include <vector>

#include "captureTime.h"
#include "filterExpression.h"
#include "frameIndex.h"

// Counts of keys in bins of equal width from `origin`: a key before the first
// bin counts in it, one past the last in the last.
struct BinnedCounts {
    int64_t origin = 0;
    int64_t width = 1;
    std::vector<int64_t> counts;

    void add(int64_t key);
};

// The bins of an overview whose keys begin at `origin`.
BinnedCounts binsOf(const FrameOverview& overview, int64_t origin);
// `n` equal stretches from `first` to `last`, both included (the last stretch may be shorter).
BinnedCounts equalStretches(int64_t first, int64_t last, int64_t n);

struct FileMatches {
    std::string expression;                   // its text
    FileIdentity identity;                    // the file as it was searched
    int64_t frames = 0;                       // frames read
    int64_t count = 0;                        // of them, matching
    int64_t firstFrame = 0, lastFrame = 0;    // 0 without a match
    CaptureTime firstTime = kNoTime, lastTime = kNoTime;
    BinnedCounts byFrame;                     // key: frame number - 1
    BinnedCounts byTime;                      // key: capture time; frames without one are not counted
    bool stopped = false;                     // the pass was stopped before the file's end
    LoadReport report;

    bool complete() const { return !stopped && report.ok(); }
};

class FindObserver {
public:
    virtual ~FindObserver() = default;
    // Every few thousand frames: how far the pass is, in bytes of the file.
    virtual void progress(int64_t position, int64_t matches) { (void)position, (void)matches; }
    // Asked with each progress: true ends the pass there.
    virtual bool stopRequested() { return false; }
    // Each frame read, for a caller that gathers more in the same pass.
    virtual void frameRead(int64_t number, const SourceFrame& frame, bool matched) { (void)number, (void)frame, (void)matched; }
};

// Searches the file under `path` from its first frame, counting the matches in
// the bins given (their counts start from zero).
FileMatches findInFile(const std::string& path, const FilterExpression& expression, BinnedCounts byFrame,
                       BinnedCounts byTime, FindObserver& observer);

// Searches an indexed file, counting in the bins of the index's overviews (by
// time only when every frame has one). A file no longer the one indexed is
// refused (LoadError::FileChanged).
FileMatches findInIndexedFile(const FrameIndex& index, const FilterExpression& expression, FindObserver& observer);

// Goes on with a pass over the indexed file that was stopped, from the frame
// after the last it read, counting on in the same bins; a finished or failed
// one is left as it is. A file no longer the one indexed is refused.
void continueFind(const FrameIndex& index, const FilterExpression& expression, FileMatches& matches, FindObserver& observer);

// Whether `matches` is the complete answer for `expression` over the file the
// index names, as it is now.
bool matchesAreCurrent(const FileMatches& matches, const FrameIndex& index, const std::string& expression);

// The first matching frame after `from` (direction +1) or the last before it
// (-1), read through the index in the bins that hold matches only; 0 when
// there is none, or when the file cannot be read (report says why).
int64_t nearestMatch(const FrameIndex& index, const FileMatches& matches, const FilterExpression& expression,
                     int64_t from, int direction, LoadReport& report);
