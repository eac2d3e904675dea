#include "frameIndex.h"

#include <algorithm>
#include <limits>

#include "timeBulk.h"

namespace {
void notePoint(FrameIndex& index, const StreamPoint& at, CaptureTime latest, size_t maxPoints)
{
    if (index.points.size() >= maxPoints) {
        // Keep every other point: the stride doubles.
        for (size_t k = 0; k < index.points.size() / 2; ++k) {
            index.points[k] = index.points[2 * k];
            index.latestBefore[k] = index.latestBefore[2 * k];
        }
        index.points.resize(index.points.size() / 2);
        index.latestBefore.resize(index.points.size());
        index.stride *= 2;   // the frame at hand, an even number of old strides in, is a point of the new one too
    }
    index.points.push_back(at);
    index.latestBefore.push_back(latest);
}

// Nanoseconds from origin to t; an earlier t counts at 0.
int64_t keyAfter(CaptureTime t, CaptureTime origin)
{
    int64_t after = 0;
    if (__builtin_sub_overflow(t, origin, &after)) after = t > origin ? std::numeric_limits<int64_t>::max() : 0;
    return std::max<int64_t>(0, after);
}

// Progress and a yield to the program now and then: often enough for a
// responsive window, rarely enough to cost nothing.
class Breather {
public:
    explicit Breather(LoadObserver& observer) : observer_(observer) {}
    void frameRead(int64_t number, int64_t position)
    {
        if (number < next_) return;
        next_ = number + 4096;
        observer_.progress(position);
        observer_.yieldPoint();
    }

private:
    LoadObserver& observer_;
    int64_t next_ = 0;
};

// The overview along the time once more, over the times near the bulk: the
// frames before them count in its first bin, those after in its last.
FrameOverview byTimeAround(FrameStream& stream, const TimeSpan& near, LoadObserver& observer, int64_t& far,
                           CaptureTime& origin)
{
    FrameOverview byTime;
    OverviewBin after;
    origin = kNoTime;
    Breather breather(observer);
    int64_t number = 0;
    LoadReport again;   // what the first pass found is kept
    stream.read(again, stream.start(), [&](const StreamFrame& f) {
        const CaptureTime t = f.frame.stamp->time;
        const TrafficKind kind = trafficKindOf(f.frame.data, f.frame.size);
        if (near.contains(t) && origin == kNoTime) origin = t;
        if (t > near.last) {
            ++after.frames[size_t(kind)];
            after.bytes += f.frame.size;
        } else {
            byTime.add(near.contains(t) ? keyAfter(t, origin) : 0, kind, uint32_t(f.frame.size));
        }
        far += near.contains(t) ? 0 : 1;
        breather.frameRead(++number, f.frame.position);
        return true;
    });
    byTime.addToLast(after);
    return byTime;
}
}

FrameIndex indexFile(const std::string& path, LoadObserver& observer, size_t maxPoints)
{
    FrameIndex index;
    index.path = path;
    index.kind = sniffFileKind(path);
    auto stream = makeFrameStream(index.kind);
    if (!stream->open(path, index.report)) return index;
    index.identity = stream->identity();
    observer.fileOpened(index.identity.size);
    observer.fileRead();

    Breather breather(observer);
    TimeBulk bulk;
    CaptureTime previous = kNoTime;
    CaptureTime latest = kNoTime;   // of the frames before the one at hand
    stream->read(index.report, stream->start(), [&](const StreamFrame& f) {
        const int64_t number = ++index.frames;
        if ((number - 1) % index.stride == 0) notePoint(index, f.at, latest, maxPoints);
        const TrafficKind kind = trafficKindOf(f.frame.data, f.frame.size);
        index.overview.add(number - 1, kind, uint32_t(f.frame.size));
        if (const CaptureTime t = f.frame.stamp ? f.frame.stamp->time : kNoTime; t != kNoTime) {
            if (index.firstTime == kNoTime) index.firstTime = index.byTimeOrigin = t;
            index.byTime.add(keyAfter(t, index.firstTime), kind, uint32_t(f.frame.size));
            ++index.timedFrames;
            if (previous != kNoTime && t < previous) ++index.backwardSteps;
            previous = t;
            latest = std::max(latest, t);
            bulk.add(t);
        }
        breather.frameRead(number, f.frame.position);
        return true;
    });
    index.layout = stream->layout();
    // A few far-off times would stretch the axis over years and squeeze the
    // rest into a bin or two: a second pass spans the bulk alone.
    if (index.ok() && index.timesKnown() && bulk.anyFar())
        index.byTime = byTimeAround(*stream, bulk.near(), observer, index.farTimes, index.byTimeOrigin);
    return index;
}

bool indexIsCurrent(const FrameIndex& index)
{
    FileIdentity now;
    return currentFileIdentity(index.path, now) && now == index.identity;
}
