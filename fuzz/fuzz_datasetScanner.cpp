// The streaming dataset scanner against a byte-by-byte reading of the record
// rule, for any bytes cut into blocks anywhere: the same records, frames and offsets.
#include <cstring>
#include <vector>

#include "core/datasetScanner.h"
#include "fuzzSupport.h"

namespace {
struct Found {
    std::vector<uint8_t> frame;   // empty when too long to store
    size_t size;
    int64_t start, end;
    bool operator==(const Found&) const = default;
};

// One byte at a time into an unbounded record buffer: a record ends at a '>'
// that completes the trailer once more than 16 bytes have been gathered.
std::vector<Found> reference(const uint8_t* data, size_t size, int64_t offset)
{
    std::vector<Found> found;
    std::vector<uint8_t> record;
    int64_t start = offset;
    for (size_t p = 0; p < size; ++p) {
        record.push_back(data[p]);
        const size_t fill = record.size();
        if (data[p] != '>' || fill <= kTrailerSize) continue;
        if (std::memcmp(record.data() + fill - kTrailerSize, kRecordTrailer.data(), kTrailerSize) != 0) continue;
        Found f{{}, fill - kTrailerSize, start, offset + int64_t(p)};
        if (fill <= kMaxRecordBytes) f.frame.assign(record.begin(), record.end() - kTrailerSize);
        found.push_back(f);
        record.clear();
        start = offset + int64_t(p) + 1;
    }
    return found;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // The first two bytes choose the block sizes, the rest is the file after its header.
    const size_t blockA = size_t(data[0]) * 13 + 1, blockB = size_t(data[1]) * 7 + 1;
    data += 2;
    size -= 2;

    std::vector<Found> streamed;
    DatasetScanner scanner;
    size_t at = 0;
    for (bool odd = false; at < size; odd = !odd) {
        // Each block in a buffer of its own, so reading past it is caught.
        const size_t n = std::min(size - at, odd ? blockB : blockA);
        const std::vector<uint8_t> block(data + at, data + at + n);
        scanner.feed(block.data(), block.size(), [&](const DatasetRecord& r) {
            Found f{{}, r.size, r.start, r.end};
            if (r.frame) f.frame.assign(r.frame, r.frame + r.size);
            FUZZ_CHECK(r.size >= 1 && (r.frame != nullptr) == (r.size <= kMaxDatasetFrame));
            streamed.push_back(std::move(f));
            return true;
        });
        at += n;
    }
    FUZZ_CHECK(streamed == reference(data, size, int64_t(kDatasetHeader.size())));
    return 0;
}
