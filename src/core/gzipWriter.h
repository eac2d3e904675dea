#pragma once
// Writing a file gzip-compressed, through zlib: the bytes given are deflated
// into the AtomicFile as they come, as one gzip member.
#include <cstdio>
#include <memory>

class AtomicFile;

class GzipWriter {
public:
    explicit GzipWriter(AtomicFile& file);
    ~GzipWriter();
    GzipWriter(const GzipWriter&) = delete;
    GzipWriter& operator=(const GzipWriter&) = delete;

    bool write(const void* data, size_t size);
    // What was written so far can be read back whole (a capture written as it comes).
    bool flush();
    // Ends the stream with its trailer; nothing may be written after.
    bool finish();
    // A stream (for libpcap's writer) whose writes go through write(); closing it writes nothing more.
    std::FILE* openStream();

private:
    bool deflateSome(int mode);
    struct State;
    std::unique_ptr<State> s_;
    AtomicFile& file_;
};
