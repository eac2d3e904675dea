#include "atomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "frameSource.h"

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

bool AtomicFile::open()
{
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = path_ + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
        // 0666 less the umask: the saved file gets the usual permissions.
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_ = name;
            return true;
        }
        if (errno != EEXIST) break;
    }
    return failWithErrno();
}

bool AtomicFile::write(const void* data, size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd_, p, size);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return failWithErrno();
        p += put;
        size -= size_t(put);
    }
    return true;
}

bool AtomicFile::commit()
{
    if (::fsync(fd_) != 0) return failWithErrno();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failWithErrno();
    if (std::rename(temp_.c_str(), path_.c_str()) != 0) return failWithErrno();
    committed_ = true;
    return true;
}

void AtomicFile::fail(const std::string& reason)
{
    if (error_.empty()) error_ = "Cannot write " + quotedPath(path_) + ": " + reason;
}

bool AtomicFile::failWithErrno()
{
    fail(std::strerror(errno));
    return false;
}
