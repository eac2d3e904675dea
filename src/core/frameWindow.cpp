#include "frameWindow.h"

#include <algorithm>

#include "fileLoader.h"

FrameWindow windowAt(int64_t first, int64_t frames, int64_t width)
{
    first = std::max<int64_t>(1, std::min(first, frames - width + 1));
    return FrameWindow{first, std::min(frames, first + width - 1)};
}

std::string groupedNumber(int64_t n)
{
    const std::string digits = std::to_string(n);
    std::string text;
    for (size_t k = 0; k < digits.size(); ++k) {
        const size_t left = digits.size() - k;   // digits from here to the end
        if (k > 0 && left % 3 == 0 && digits[k - 1] != '-') text += ',';
        text += digits[k];
    }
    return text;
}

std::string describeWindow(const FrameWindow& window, int64_t frames)
{
    return std::to_string(window.first) + " - " + std::to_string(window.last) + " of " + groupedNumber(frames);
}

std::string windowProblem(const FrameWindow& window, int64_t frames, int64_t widest, const std::string& path)
{
    const std::string range = std::to_string(window.first) + "-" + std::to_string(window.last);
    if (window.first < 1 || window.size() < 1)
        return "the window " + range + " holds no frames: give the first and the last frame number, 1 or more";
    if (widest > 0 && window.size() > widest)
        return "the window " + range + " holds " + std::to_string(window.size()) + " frames; at most "
               + std::to_string(widest) + " fit the store";
    if (frames == 0) return quotedPath(path) + " holds no frames";
    if (window.last > frames)
        return "the window " + range + " reaches past the end: " + quotedPath(path) + " holds " + std::to_string(frames)
               + " frame(s)";
    return {};
}

WindowSource::WindowSource(const FrameWindow& window, const FrameIndex* index) : window_(window), index_(index) {}
WindowSource::~WindowSource() = default;

bool WindowSource::open(const std::string& path, LoadReport& report, LoadObserver& observer)
{
    stream_ = openFrameStream(path, report);
    if (!stream_) return false;
    if (index_) {
        // Offsets from another file, or from this one before it changed, would read garbage.
        if (!(stream_->identity() == index_->identity)) {
            report.error = LoadError::FileChanged;
            report.message = quotedPath(path) + " has changed since it was indexed";
            return false;
        }
        const std::string problem = windowProblem(window_, index_->frames, 0, path);
        if (!problem.empty()) {
            report.error = LoadError::NoSuchWindow;
            report.message = problem;
            return false;
        }
        stream_->adoptLayout(index_->layout);
    }
    observer.fileOpened(report.fileSize);
    observer.fileRead();
    return true;
}

void WindowSource::forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit)
{
    StreamPoint from = stream_->start();
    int64_t number = 0;   // the frame number before `from`
    if (index_ && !index_->points.empty()) {
        const size_t point = size_t((window_.first - 1) / index_->stride);
        from = index_->points[point];
        number = int64_t(point) * index_->stride;
    }
    stream_->read(report, from, [&](const StreamFrame& f) {
        seen_ = ++number;
        if (number < window_.first) return true;
        return visit(f.frame) && number < window_.last;
    });
}

LoadReport loadIndexedWindow(FrameIndex& index, const FrameWindow& window, LoadObserver& observer)
{
    bool reindexed = false;
    for (int attempt = 0; attempt < 2; ++attempt) {   // the second after a change met at opening
        if (!indexIsCurrent(index)) {
            index = indexFile(index.path, observer);
            reindexed = true;
        }
        LoadReport report;
        if (!index.ok()) {
            report = index.report;
        } else {
            WindowSource source(window, &index);
            report = loadFromSource(source, index.path, observer);
        }
        report.reindexed = reindexed;
        if (report.error != LoadError::FileChanged) return report;
        index.identity = FileIdentity{};   // seen to differ: index it again
    }
    LoadReport report;
    report.error = LoadError::FileChanged;
    report.message = quotedPath(index.path) + " keeps changing; try again when it is complete";
    return report;
}
