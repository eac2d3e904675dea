#include "frameIndex.h"

#include <algorithm>
#include <limits>

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

    int64_t nextYield = 0;
    CaptureTime latest = kNoTime;   // of the frames before the one at hand
    stream->read(index.report, stream->start(), [&](const StreamFrame& f) {
        const int64_t number = ++index.frames;
        if ((number - 1) % index.stride == 0) notePoint(index, f.at, latest, maxPoints);
        const TrafficKind kind = trafficKindOf(f.frame.data, f.frame.size);
        index.overview.add(number - 1, kind, uint32_t(f.frame.size));
        if (const CaptureTime t = f.frame.stamp ? f.frame.stamp->time : kNoTime; t != kNoTime) {
            if (index.firstTime == kNoTime) index.firstTime = t;
            int64_t after = 0;
            if (__builtin_sub_overflow(t, index.firstTime, &after)) after = t > index.firstTime ? std::numeric_limits<int64_t>::max() : 0;
            index.byTime.add(std::max<int64_t>(0, after), kind, uint32_t(f.frame.size));
            ++index.timedFrames;
            latest = std::max(latest, t);
        }
        if (number >= nextYield) {   // often enough for a responsive window, rarely enough to cost nothing
            nextYield = number + 4096;
            observer.progress(f.frame.position);
            observer.yieldPoint();
        }
        return true;
    });
    index.layout = stream->layout();
    return index;
}

bool indexIsCurrent(const FrameIndex& index)
{
    FileIdentity now;
    return currentFileIdentity(index.path, now) && now == index.identity;
}
