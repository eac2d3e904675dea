#include "streamInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool isNamedPipe(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

bool isTerminal(int fd) { return ::isatty(fd) == 1; }

bool isPipe(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode);
}

StreamInput::~StreamInput() { close(); }

bool StreamInput::open(const std::string& name)
{
    close();
    if (namesStandardInput(name)) {
        label_ = "standard input";
        if (isTerminal(STDIN_FILENO)) {
            why_ = "standard input is a terminal: pipe a capture into it (tcpdump -U -w - | ...)";
            return false;
        }
        const int flags = ::fcntl(STDIN_FILENO, F_GETFL);
        if (flags < 0 || ::fcntl(STDIN_FILENO, F_SETFL, flags | O_NONBLOCK) != 0) {
            why_ = "standard input cannot be read: " + std::string(std::strerror(errno));
            return false;
        }
        fd_ = STDIN_FILENO;
        return true;
    }
    label_ = name;
    if (!isNamedPipe(name)) {
        why_ = "\"" + name + "\" is not a named pipe";
        return false;
    }
    fd_ = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        why_ = "Cannot open \"" + name + "\": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISFIFO(info.st_mode)) {   // replaced in between
        close();
        why_ = "\"" + name + "\" is not a named pipe";
        return false;
    }
    owned_ = true;
    return true;
}

void StreamInput::close()
{
    if (owned_ && fd_ >= 0) ::close(fd_);
    fd_ = -1;
    owned_ = false;
}

StreamInput::Read StreamInput::read(uint8_t* buffer, size_t capacity, size_t& got)
{
    got = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, capacity);
        if (n > 0) {
            got = size_t(n);
            return Read::Bytes;
        }
        if (n == 0) return Read::Ended;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return Read::Nothing;
        why_ = "reading " + label_ + " failed: " + std::strerror(errno);
        return Read::Failed;
    }
}
