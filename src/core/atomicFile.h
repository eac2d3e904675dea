#pragma once
// A file written under a short temporary name beside its destination and
// renamed over it only once complete: a failed or interrupted save never
// leaves a partial file, and an existing file of that name stays as it was.
// A symbolic link given as the name is written through to its target, and a
// file written over another keeps that one's permission bits.
#include <cstddef>
#include <string>

class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();   // removes the temporary file unless it was put in place
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    int fd() const { return fd_; }
    bool write(const void* data, size_t size);
    // Puts the file in place now, as written so far; later writes land in it
    // directly (a capture keeps what it has if it is killed).
    bool publish();
    // Flushes to disk, closes and, unless published, renames over the destination.
    bool commit();
    // Marks a failure that happened outside write(), so error() tells it.
    void fail(const std::string& reason);
    // "Cannot write "PATH": reason"
    const std::string& error() const { return error_; }

private:
    bool failWithErrno();

    std::string path_;          // as given, for messages
    std::string destination_;   // symbolic links followed
    std::string temp_;
    int fd_ = -1;
    bool inPlace_ = false;
    std::string error_;
};

// The file a name refers to once its symbolic links are followed (the name
// itself when it is none); the target need not exist.
std::string followLinks(const std::string& path);

// Removes the temporary files of unfinished AtomicFiles; safe in a signal handler.
void removeUnfinishedFiles();
