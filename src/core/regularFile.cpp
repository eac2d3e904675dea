#include "regularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

int openRegularFile(const std::string& path, std::string& reason)
{
    // Asked first, so a pipe is never opened at all.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        reason = S_ISFIFO(info.st_mode) ? "not a regular file but a named pipe, which is read as a live stream "
                                          "(the Capture window's \"Named pipe\u2026\", or nivora-cli capture -i PATH)"
                                        : "not a regular file";
        return -1;
    }
    // Non-blocking as well, in case the name was replaced in between.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = "not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isSpecialFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

std::string readErrorText(int error)
{
    if (error == EAGAIN || error == EWOULDBLOCK) return "it has nothing to read now (not an ordinary file)";
    return std::strerror(error);
}
