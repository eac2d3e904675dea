#pragma once
// A gzip-compressed file read as the file it holds, through zlib, by position.
// Reading on is one pass of inflating; reading elsewhere restarts from the
// nearest access point before the position: a place between two deflate
// blocks, with the 32 KiB of output before it that the next block may refer
// to, noted on the way by an earlier pass (every `span` bytes of output; at
// most maxPoints of them, the span doubling when they would pass it, so the
// points take 8 MiB at most).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "blockReader.h"

struct InflatePoint {
    int64_t out = 0;        // offset in the uncompressed contents
    int64_t in = 0;         // compressed bytes consumed before it
    int bits = 0;           // of the byte before `in`, still to be consumed
    std::vector<uint8_t> window;   // the output before it, up to 32 KiB
};

// The access points of one compressed file, in output order; kept in the
// file's index so that windows of it are reached without inflating from the start.
struct InflateIndex {
    size_t maxPoints = 256;
    int64_t span = 1 << 20;
    std::vector<InflatePoint> points;
};

// Whether the file behind fd begins with the gzip magic number.
bool isGzipFile(int fd);
// The first n bytes of the compressed file's contents (fewer when it holds fewer).
std::vector<uint8_t> gzipPrefix(int fd, size_t n);

class GzipReader final : public ByteSource {
public:
    // Reads the compressed file fd of `size` bytes; `index` (which the reader
    // may replace) collects its access points and gives them to later readers.
    GzipReader(int fd, int64_t size, std::shared_ptr<InflateIndex>& index);
    ~GzipReader() override;
    GzipReader(const GzipReader&) = delete;
    GzipReader& operator=(const GzipReader&) = delete;

    ssize_t readAt(uint8_t* into, size_t n, int64_t offset) override;
    std::string failure() const override { return failure_; }
    // How far into the compressed file inflating has come.
    int64_t compressedOffset() const;

private:
    class Inflater;
    std::unique_ptr<Inflater> z_;
    std::string failure_;
};
