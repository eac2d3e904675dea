#pragma once
// Reading a file front to back through one fixed buffer, with positional
// reads up to a limit fixed when it is attached: the parsers look at the next
// n bytes in one piece (n up to the buffer's size) and move on. The bytes come
// from a descriptor, or from a ByteSource (a compressed file's contents).
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "regularFile.h"

// Bytes by position from something other than a plain file.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to n bytes from `offset` into `into`: how many, 0 at the end, -1 on failure.
    virtual ssize_t readAt(uint8_t* into, size_t n, int64_t offset) = 0;
    // After -1: what went wrong, and where.
    virtual std::string failure() const = 0;
};

class BlockReader {
public:
    static constexpr size_t kCapacity = 1 << 20;   // large reads; room for the largest capture frame

    // A smaller buffer only for tests: what is read must not depend on where it ends.
    explicit BlockReader(size_t capacity = kCapacity) : buffer_(new uint8_t[capacity]), capacity_(capacity) {}   // filled by the reads

    void attach(int fd, int64_t limit)
    {
        fd_ = fd;
        limit_ = limit;
        seek(0);
    }
    // Reads from `source` up to `limit` (or its end, where that comes first).
    void attach(ByteSource& source, int64_t limit)
    {
        source_ = &source;
        attach(-1, limit);
    }

    // The next bytes come from `offset`.
    void seek(int64_t offset)
    {
        base_ = offset;
        begin_ = end_ = 0;
    }

    int64_t offset() const { return base_ + int64_t(begin_); }
    // Bytes left before the limit.
    int64_t remaining() const { return std::max<int64_t>(0, limit_ - offset()); }
    int error() const { return error_; }
    // What error() means, in words.
    std::string failure() const { return source_ && error_ != 0 ? source_->failure() : readErrorText(error_); }
    size_t capacity() const { return capacity_; }

    // The next n bytes in one piece, not consumed; null when the file (up to
    // its limit) ends before them or a read fails (error() then says why).
    const uint8_t* peek(size_t n)
    {
        if (end_ - begin_ >= n) return buffer_.get() + begin_;
        if (n > capacity_ || int64_t(n) > remaining()) return nullptr;
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        base_ += int64_t(begin_);
        end_ -= begin_;
        begin_ = 0;
        while (end_ < n) {
            const size_t want = size_t(std::min<int64_t>(int64_t(capacity_ - end_), limit_ - base_ - int64_t(end_)));
            const ssize_t got = source_ ? source_->readAt(buffer_.get() + end_, want, base_ + int64_t(end_))
                                        : ::pread(fd_, buffer_.get() + end_, want, base_ + int64_t(end_));
            if (got < 0 && !source_ && errno == EINTR) continue;
            if (got <= 0) {   // a read error, or a file that shrank meanwhile
                error_ = got < 0 ? (source_ ? EIO : errno) : 0;
                limit_ = base_ + int64_t(end_);
                return nullptr;
            }
            end_ += size_t(got);
        }
        return buffer_.get() + begin_;
    }

    void advance(int64_t n)
    {
        if (n <= int64_t(end_ - begin_)) {
            begin_ += size_t(n);
        } else {
            seek(offset() + n);
        }
    }

private:
    std::unique_ptr<uint8_t[]> buffer_;
    ByteSource* source_ = nullptr;
    size_t capacity_;
    int fd_ = -1;
    int64_t limit_ = 0;
    int64_t base_ = 0;    // file offset of buffer_[0]
    size_t begin_ = 0;    // the next byte
    size_t end_ = 0;      // past the last byte read
    int error_ = 0;
};
