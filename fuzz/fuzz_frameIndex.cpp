// The index of any file (dataset, pcap or pcapng, told by content) and the
// windows read through it: the same frames as a pass from the start wherever
// the window lies, and an overview that counts every frame once. A frame's
// time, length and bytes do not depend on where the reader's buffer ended.
#include <algorithm>
#include <vector>

#include "core/frameWindow.h"
#include "fuzzSupport.h"

namespace {
struct Streamed {
    CaptureTime time;
    uint32_t wireLength;
    std::vector<uint8_t> bytes;
    bool operator==(const Streamed&) const = default;
};

// Every frame a pass from the start hands over, read through a buffer of `bufferBytes`.
std::vector<Streamed> streamed(const std::string& path, size_t bufferBytes)
{
    const auto stream = makeFrameStream(sniffFileKind(path), bufferBytes);
    LoadReport report;
    std::vector<Streamed> frames;
    if (stream->open(path, report))
        stream->read(report, stream->start(), [&](const StreamFrame& f) {
            const FrameStamp stamp = f.frame.stamp ? *f.frame.stamp : FrameStamp{};
            frames.push_back({stamp.time, stamp.wireLength, {f.frame.data, f.frame.data + f.frame.size}});
            return true;
        });
    return frames;
}

std::vector<uint8_t> framesOf(const std::string& path, const FrameWindow& window, const FrameIndex* index)
{
    WindowSource source(window, index);
    LoadReport report;
    LoadObserver quiet;
    std::vector<uint8_t> bytes;
    if (source.open(path, report, quiet))
        source.forEachFrame(report, [&](const SourceFrame& f) {
            bytes.push_back(uint8_t(f.size));   // where one frame ends and the next begins
            bytes.insert(bytes.end(), f.data, f.data + f.size);
            return true;
        });
    return bytes;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    file.hold(data, size);
    // A small buffer (room for the largest header, 28 bytes) ends mid-record
    // everywhere; it stops at a frame it cannot hold, so it sees a prefix.
    const std::vector<Streamed> whole = streamed(file.path(), BlockReader::kCapacity);
    const std::vector<Streamed> small = streamed(file.path(), 28 + (size > 0 ? data[size - 1] : 0));
    FUZZ_CHECK(small.size() <= whole.size() && std::equal(small.begin(), small.end(), whole.begin()));

    LoadObserver quiet;
    const FrameIndex index = indexFile(file.path(), quiet, 4);   // few points: the stride doubles soon
    if (!index.ok()) return 0;
    uint64_t binned = 0;
    for (const OverviewBin& bin : index.overview.bins()) binned += bin.total();
    FUZZ_CHECK(binned == uint64_t(index.frames));
    FUZZ_CHECK(int64_t(index.points.size()) == (index.frames + index.stride - 1) / index.stride);
    for (int64_t first = 1; first <= index.frames; first += std::max<int64_t>(1, index.frames / 8)) {
        const FrameWindow window{first, std::min(index.frames, first + 2)};
        FUZZ_CHECK(framesOf(file.path(), window, &index) == framesOf(file.path(), window, nullptr));
    }
    return 0;
}
