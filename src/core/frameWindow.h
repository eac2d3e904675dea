#pragma once
// A window onto a file: frames first..last by the file's frame numbers
// (1-based, inclusive), read straight from the file, through its index or
// from the start. The store holds a window of up to 30000 frames at a time.
#include <cstdint>
#include <memory>
#include <string>

#include "frameIndex.h"

struct FrameWindow {
    int64_t first = 1;
    int64_t last = 0;
    int64_t size() const { return last - first + 1; }
};

// The window of `width` frames beginning at `first`, moved back if it would
// run past the file's end: frames max(1, frames - width + 1).. at the end.
FrameWindow windowAt(int64_t first, int64_t frames, int64_t width);

// Why `window` cannot be read from `path`, a file of `frames` frames, when at
// most `widest` fit (0: any width); empty when it can.
std::string windowProblem(const FrameWindow& window, int64_t frames, int64_t widest, const std::string& path);

// "600001 - 630000 of 1,000,000"
std::string describeWindow(const FrameWindow& window, int64_t frames);
// 1000000 as "1,000,000"
std::string groupedNumber(int64_t n);

// The frames of a window. With an index, open() refuses a file that is no
// longer the one indexed, or a window outside it, and reading starts at the
// index's point nearest before the window. Without one, reading starts at the
// file's first record, and framesSeen() tells how far the file reached.
class WindowSource final : public FrameSource {
public:
    explicit WindowSource(const FrameWindow& window, const FrameIndex* index = nullptr);
    ~WindowSource() override;

    bool open(const std::string& path, LoadReport& report, LoadObserver& observer) override;
    void forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit) override;
    bool mayHoldSubMicroseconds() const override { return stream_ && stream_->mayHoldSubMicroseconds(); }

    // The last frame number met: the file's frame count when the window reached past its end.
    int64_t framesSeen() const { return seen_; }

private:
    FrameWindow window_;
    const FrameIndex* index_;
    std::unique_ptr<FrameStream> stream_;
    int64_t seen_ = 0;
};

// Loads a window of an indexed file into the store, as loadAnyFile loads a
// whole file (the overwrite question, the observer). A file changed since it
// was indexed is indexed again first (report.reindexed), so no stale offset is
// ever read; a window that no longer fits the file is then refused with
// LoadError::NoSuchWindow and the store untouched.
LoadReport loadIndexedWindow(FrameIndex& index, const FrameWindow& window, LoadObserver& observer);
