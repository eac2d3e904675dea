// The stream reader: bytes arriving in chunks of random sizes (the first
// eight input bytes seed the sizes) give the same frames, the same refusal or
// damage and the same closing notes as the whole stream in one piece.
#include <cstring>
#include <random>
#include <vector>

#include "core/streamReader.h"
#include "fuzzSupport.h"

namespace {
struct Outcome {
    std::vector<uint8_t> frames;   // each frame's size, bytes, time and wire length
    std::string error;
    std::vector<std::string> notes;
    bool operator==(const Outcome&) const = default;
};

template <typename Chunks>
Outcome read(const uint8_t* data, size_t size, Chunks nextChunk)
{
    StreamReader reader;
    Outcome out;
    const auto visit = [&](const StreamedFrame& f) {
        FUZZ_CHECK(f.size > 0 && f.stamp.wireLength >= f.size);
        const auto put = [&](const void* p, size_t n) {
            out.frames.insert(out.frames.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
        };
        put(&f.size, sizeof f.size);
        put(f.data, f.size);
        put(&f.stamp.time, sizeof f.stamp.time);
        put(&f.stamp.wireLength, sizeof f.stamp.wireLength);
        return true;
    };
    for (size_t at = 0; at < size;) {
        const size_t n = std::min(size - at, nextChunk());
        if (!reader.feed(data + at, n, visit)) break;
        at += n;
    }
    reader.end();
    out.error = reader.error();
    if (!reader.failed()) out.notes = reader.endNotes();
    return out;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8) return 0;
    uint64_t seed = 0;
    std::memcpy(&seed, data, 8);
    data += 8;
    size -= 8;
    const Outcome whole = read(data, size, [&] { return size; });
    std::mt19937_64 random(seed);
    // Mostly small chunks, so records are cut everywhere, now and then a large one.
    const Outcome chunked = read(data, size, [&] { return random() % 8 == 0 ? size_t(random() % 4096) + 1 : size_t(random() % 24) + 1; });
    FUZZ_CHECK(whole == chunked);
    return 0;
}
