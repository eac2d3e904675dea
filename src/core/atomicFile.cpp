#include "atomicFile.h"

#include <fcntl.h>
#include <pthread.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "frameSource.h"
#include "regularFile.h"

namespace {
// The temporary files in progress, where a signal handler can find them
// without allocating or locking: a slot's name is complete before it is
// marked used, and unmarked before it is reused.
constexpr int kSlots = 8;
char slotNames[kSlots][PATH_MAX];
volatile std::sig_atomic_t slotUsed[kSlots];

void noteUnfinished(const std::string& name)
{
    if (name.size() >= PATH_MAX) return;
    for (int k = 0; k < kSlots; ++k) {
        if (slotUsed[k]) continue;
        std::memcpy(slotNames[k], name.c_str(), name.size() + 1);
        slotUsed[k] = 1;
        return;
    }
}

// Holds off the signals that remove unfinished files while a file is created
// and noted, so none can come between the two.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

void forgetUnfinished(const std::string& name)
{
    for (int k = 0; k < kSlots; ++k)
        if (slotUsed[k] && name == slotNames[k]) slotUsed[k] = 0;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The permission bits a new file gets: those of the file it replaces, else 0666 less the umask.
mode_t modeFor(const std::string& destination)
{
    struct stat old {};
    if (::stat(destination.c_str(), &old) == 0) return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}

void removeUnfinishedFiles()
{
    for (int k = 0; k < kSlots; ++k)
        if (slotUsed[k]) ::unlink(slotNames[k]);
}

std::string followLinks(const std::string& path)
{
    std::string name = path;
    for (int depth = 0; depth < 40; ++depth) {   // the kernel's own limit on nested links
        char target[PATH_MAX];
        const ssize_t n = ::readlink(name.c_str(), target, sizeof target - 1);
        if (n < 0) break;
        target[n] = '\0';
        name = target[0] == '/' ? std::string(target) : folderOf(name) + "/" + target;
    }
    return name;
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0) ::close(fd_);
    if (!inPlace_ && !temp_.empty()) {
        ::unlink(temp_.c_str());
        forgetUnfinished(temp_);
    }
}

bool AtomicFile::open()
{
    destination_ = followLinks(path_);
    // A pipe or device is not replaced by a file of ours, nor written into.
    if (isSpecialFile(destination_)) {
        fail("not a regular file");
        return false;
    }
    // A short name of its own, so a destination name near the length limit still fits.
    std::string name = folderOf(destination_) + "/.nivora-XXXXXX";
    {
        const SignalsHeld held;
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ >= 0) noteUnfinished(name);
    }
    if (fd_ < 0) return failWithErrno();
    temp_ = name;
    if (::fchmod(fd_, modeFor(destination_)) != 0) return failWithErrno();
    return true;
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

bool AtomicFile::publish()
{
    if (inPlace_) return true;
    if (std::rename(temp_.c_str(), destination_.c_str()) != 0) return failWithErrno();
    inPlace_ = true;
    forgetUnfinished(temp_);
    return true;
}

bool AtomicFile::commit()
{
    if (::fsync(fd_) != 0) return failWithErrno();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failWithErrno();
    return publish();
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
