#pragma once
// What the fuzz targets share: the input as a file the loaders can open by
// name, without touching the disk, and a folder for files they write.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// An in-memory file whose name stays valid for the whole run.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("fuzz-input", 0)), path_("/proc/self/fd/" + std::to_string(fd_)) {}
    const std::string& path() const { return path_; }
    void hold(const uint8_t* data, size_t size)
    {
        if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, data, size, 0) != ssize_t(size)) std::abort();
    }

private:
    int fd_;
    std::string path_;
};

// A private folder on a memory file system where the writers can put their files.
inline const std::string& scratchFolder()
{
    static const std::string folder = [] {
        char name[] = "/dev/shm/nivora-fuzz-XXXXXX";
        const char* made = ::mkdtemp(name);
        if (!made) std::abort();
        return std::string(made);
    }();
    return folder;
}

#define FUZZ_CHECK(condition)                                                         \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                             \
        }                                                                             \
    } while (false)

}
