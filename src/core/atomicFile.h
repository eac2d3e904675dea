#pragma once
// A file written under a temporary name beside its destination and renamed
// over it only once complete: a failed save never leaves a partial file, and
// an existing file of that name stays as it was.
#include <cstddef>
#include <string>

class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();   // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    int fd() const { return fd_; }
    bool write(const void* data, size_t size);
    // Flushes to disk, closes and renames over the destination.
    bool commit();
    // Marks a failure that happened outside write(), so error() tells it.
    void fail(const std::string& reason);
    // "Cannot write "PATH": reason"
    const std::string& error() const { return error_; }

private:
    bool failWithErrno();

    std::string path_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
    std::string error_;
};
