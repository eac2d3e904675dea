// The dataset writer's round trip: any frames written to a dataset read back
// as exactly those the format can carry, in order, and the rest are counted.
#include <vector>

#include "core/datasetFormat.h"
#include "core/datasetWriter.h"
#include "core/frameSource.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Frames, each a two-byte length then that many bytes (cut at the end).
    std::vector<std::vector<uint8_t>> frames;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t n = std::min(size_t(data[at] | data[at + 1] << 8) % 2048, size - at - 2);
        frames.emplace_back(data + at + 2, data + at + 2 + n);
        at += 2 + n;
    }

    const std::string path = fuzz::scratchFolder() + "/round.nivora";
    FrameWriter writer(path);
    FUZZ_CHECK(writer.open());
    std::vector<std::vector<uint8_t>> carried;
    int64_t tooLong = 0, holdingTrailer = 0;
    for (const auto& f : frames) {
        FUZZ_CHECK(writer.add(f.data(), f.size()));
        switch (datasetMisfit(f.data(), f.size())) {
        case DatasetMisfit::None: carried.push_back(f); break;
        case DatasetMisfit::TooLong: ++tooLong; break;
        case DatasetMisfit::HoldsTrailer: ++holdingTrailer; break;
        case DatasetMisfit::Empty: break;
        }
    }
    const SaveReport saved = writer.finish();
    FUZZ_CHECK(saved.ok && saved.written == int64_t(carried.size()));
    FUZZ_CHECK(saved.leftOutTooLong == tooLong && saved.leftOutTrailer == holdingTrailer);

    LoadReport report;
    LoadObserver quiet;
    auto source = makeDatasetSource();
    FUZZ_CHECK(source->open(path, report, quiet));
    size_t k = 0;
    source->forEachFrame(report, [&](const SourceFrame& f) {
        FUZZ_CHECK(k < carried.size() && std::vector<uint8_t>(f.data, f.data + f.size) == carried[k]);
        ++k;
        return true;
    });
    FUZZ_CHECK(k == carried.size() && report.recordsFound == int64_t(carried.size()) && report.incomplete() == false);
    return 0;
}
