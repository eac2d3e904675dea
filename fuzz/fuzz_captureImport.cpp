// pcap/pcapng import: every frame read, with its time and wire length, is
// written to a pcap capture and read back the same.
#include <algorithm>
#include <vector>

#include "core/datasetWriter.h"
#include "core/frameSource.h"
#include "fuzzSupport.h"

namespace {
struct Read {
    std::vector<uint8_t> bytes;
    FrameStamp stamp;
};

std::vector<Read> readAll(const std::string& path, bool& opened)
{
    std::vector<Read> frames;
    LoadReport report;
    LoadObserver quiet;
    auto source = makeCaptureSource();
    opened = source->open(path, report, quiet);
    if (opened)
        source->forEachFrame(report, [&](const SourceFrame& f) {
            FUZZ_CHECK(f.stamp && f.size > 0 && f.stamp->wireLength >= f.size);
            frames.push_back({std::vector<uint8_t>(f.data, f.data + f.size), *f.stamp});
            return true;
        });
    return frames;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    file.hold(data, size);
    bool opened = false;
    const std::vector<Read> in = readAll(file.path(), opened);
    if (!opened) return 0;

    const std::string out = fuzz::scratchFolder() + "/copy.pcap";
    // In nanoseconds every time a pcap can hold comes back exactly; the others are counted.
    FrameWriter writer(out, TimeResolution::Nanoseconds);
    FUZZ_CHECK(writer.open());
    for (const Read& r : in) FUZZ_CHECK(writer.add(r.bytes.data(), r.bytes.size(), &r.stamp));
    const SaveReport saved = writer.finish();
    FUZZ_CHECK(saved.ok && saved.written == int64_t(in.size()));
    FUZZ_CHECK(saved.timesOutOfRange == std::count_if(in.begin(), in.end(), [](const Read& r) {
                   return r.stamp.time != kNoTime && !fitsPcap(r.stamp.time);
               }));

    const std::vector<Read> back = readAll(out, opened);
    FUZZ_CHECK(opened && back.size() == in.size());
    for (size_t k = 0; k < in.size(); ++k) {
        FUZZ_CHECK(back[k].bytes == in[k].bytes);
        FUZZ_CHECK(back[k].stamp.wireLength == in[k].stamp.wireLength);
        if (fitsPcap(in[k].stamp.time)) FUZZ_CHECK(back[k].stamp.time == in[k].stamp.time);
    }
    return 0;
}
