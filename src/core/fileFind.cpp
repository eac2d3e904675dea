#include "fileFind.h"

#include <algorithm>
#include <limits>

#include "frameWindow.h"

void BinnedCounts::add(int64_t key)
{
    if (counts.empty()) return;
    int64_t after = 0;
    if (__builtin_sub_overflow(key, origin, &after)) after = key > origin ? std::numeric_limits<int64_t>::max() : 0;
    const int64_t bin = std::clamp<int64_t>(after / width, 0, int64_t(counts.size()) - 1);
    ++counts[size_t(bin)];
}

BinnedCounts binsOf(const FrameOverview& overview, int64_t origin)
{
    return BinnedCounts{origin, overview.binWidth(), std::vector<int64_t>(overview.bins().size())};
}

BinnedCounts equalStretches(int64_t first, int64_t last, int64_t n)
{
    n = std::max<int64_t>(1, n);
    // A width that puts `last` in the last stretch: ceil((last - first + 1) / n), at least 1.
    const int64_t span = last > first ? last - first : 0;
    const int64_t width = std::max<int64_t>(1, span / n + 1);
    return BinnedCounts{first, width, std::vector<int64_t>(size_t(n))};
}

namespace {
// One frame of a pass, the next after those counted in `m`: counted when it
// matches, and every 4096 frames (often enough for a responsive window,
// rarely enough to cost nothing) the progress told. False once a stop is asked.
bool countFrame(FileMatches& m, const FilterExpression& expression, const SourceFrame& frame, FindObserver& observer)
{
    const int64_t number = ++m.frames;
    const bool matched = frameMatches(expression, frame);
    observer.frameRead(number, frame, matched);
    if (matched) {
        const CaptureTime t = frame.stamp ? frame.stamp->time : kNoTime;
        if (m.count++ == 0) m.firstFrame = number, m.firstTime = t;
        m.lastFrame = number, m.lastTime = t;
        m.byFrame.add(number - 1);
        if (t != kNoTime) m.byTime.add(t);
    }
    if (number % 4096 != 0) return true;
    observer.progress(frame.position, m.count);
    m.stopped = observer.stopRequested();
    return !m.stopped;
}
}

FileMatches findInFile(const std::string& path, const FilterExpression& expression, BinnedCounts byFrame,
                       BinnedCounts byTime, FindObserver& observer)
{
    FileMatches m;
    m.expression = expression.text();
    m.byFrame = std::move(byFrame);
    m.byTime = std::move(byTime);
    std::fill(m.byFrame.counts.begin(), m.byFrame.counts.end(), 0);
    std::fill(m.byTime.counts.begin(), m.byTime.counts.end(), 0);
    const auto stream = openFrameStream(path, m.report);
    if (!stream) return m;
    m.identity = stream->identity();
    stream->read(m.report, stream->start(), [&](const StreamFrame& f) { return countFrame(m, expression, f.frame, observer); });
    return m;
}

FileMatches findInIndexedFile(const FrameIndex& index, const FilterExpression& expression, FindObserver& observer)
{
    FileMatches m;
    m.expression = expression.text();
    m.identity = index.identity;
    m.byFrame = binsOf(index.overview, 0);
    if (index.timesKnown()) m.byTime = binsOf(index.byTime, index.byTimeOrigin);
    m.stopped = true;   // nothing read yet
    continueFind(index, expression, m, observer);
    return m;
}

void continueFind(const FrameIndex& index, const FilterExpression& expression, FileMatches& matches, FindObserver& observer)
{
    if (!matches.stopped || !matches.report.ok()) return;
    matches.stopped = false;
    if (matches.frames >= index.frames) return;
    WindowSource rest(FrameWindow{matches.frames + 1, index.frames}, &index);
    LoadObserver quiet;
    if (!rest.open(index.path, matches.report, quiet)) return;
    rest.forEachFrame(matches.report, [&](const SourceFrame& f) { return countFrame(matches, expression, f, observer); });
}

bool matchesAreCurrent(const FileMatches& matches, const FrameIndex& index, const std::string& expression)
{
    return matches.complete() && matches.expression == expression && matches.identity == index.identity &&
           indexIsCurrent(index);
}

namespace {
// The matching frames among first..last, handed to `visit` in order until it returns false.
bool scanMatches(const FrameIndex& index, const FilterExpression& expression, FrameWindow window, LoadReport& report,
                 const std::function<bool(int64_t)>& visit)
{
    WindowSource source(window, &index);
    LoadObserver quiet;
    if (!source.open(index.path, report, quiet)) return false;
    int64_t number = window.first - 1;
    source.forEachFrame(report, [&](const SourceFrame& f) {
        ++number;
        return !frameMatches(expression, f) || visit(number);
    });
    return report.ok();
}
}

int64_t nearestMatch(const FrameIndex& index, const FileMatches& matches, const FilterExpression& expression,
                     int64_t from, int direction, LoadReport& report)
{
    const BinnedCounts& bins = matches.byFrame;
    const int64_t frames = std::min(index.frames, matches.frames);
    const int64_t last = int64_t(bins.counts.size()) - 1;
    // Only the bins that hold a match are read: at most one bin's frames before the answer.
    for (int64_t b = std::clamp<int64_t>((from - 1 + direction) / bins.width, 0, last); b >= 0 && b <= last; b += direction) {
        if (bins.counts[size_t(b)] == 0) continue;
        FrameWindow stretch{b * bins.width + 1, std::min(frames, (b + 1) * bins.width)};
        if (direction > 0) stretch.first = std::max(stretch.first, from + 1);
        else stretch.last = std::min(stretch.last, from - 1);
        if (stretch.size() < 1) continue;
        int64_t found = 0;
        if (!scanMatches(index, expression, stretch, report, [&](int64_t n) { found = n; return direction < 0; })) return 0;
        if (found) return found;
    }
    return 0;
}
