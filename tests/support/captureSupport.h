#pragma once
// Helpers for tests that capture for real: whether this process may capture,
// dropping that right for a while, adapters of our choosing, loopback UDP traffic and a throw-away
// Ethernet adapter (a TAP device) that can be removed while captured on.
#include <QElapsedTimer>
#include <QString>
#include <QTest>
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/pcapSession.h"
#include "platform/AdapterSource.h"

namespace capture_support {

// Empty when this process may capture on the loopback adapter, else the reason.
inline QString whyCaptureIsNotPermitted()
{
    CaptureFailure failure;
    if (PcapSession::open("lo", "", CaptureMode::NonBlocking, failure)) return {};
    return QString::fromStdString(failure.detail);
}

// Skips the calling test function, with the reason, where capturing is not permitted.
#define SKIP_UNLESS_CAPTURE_PERMITTED()                                                          \
    do {                                                                                         \
        const QString why = capture_support::whyCaptureIsNotPermitted();                         \
        if (!why.isEmpty()) QSKIP(qPrintable("capturing is not permitted here: " + why));        \
    } while (false)

// The adapters the capture window is offered, in place of the system's.
struct FakeAdapters : AdapterSource {
    AdapterListing listing;
    AdapterListing probe() override { return listing; }
};

// Runs the event loop until `done` holds or `ms` have passed; returns `done`.
inline bool waitFor(const std::function<bool()>& done, int ms = 3000)
{
    QElapsedTimer t;
    for (t.start(); !done() && t.elapsed() < ms;) QTest::qWait(5);
    return done();
}

// While alive, the process lacks the raw-capture rights in its effective set
// (they stay permitted, so they come back afterwards).
class LoweredCaptureRights {
public:
    LoweredCaptureRights()
    {
        __user_cap_data_struct lowered[2];
        ok_ = syscall(SYS_capget, &header_, saved_) == 0;
        std::memcpy(lowered, saved_, sizeof lowered);
        lowered[0].effective &= ~((1u << CAP_NET_RAW) | (1u << CAP_NET_ADMIN));
        ok_ = ok_ && syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~LoweredCaptureRights() { if (ok_) syscall(SYS_capset, &header_, saved_); }
    bool ok() const { return ok_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool ok_ = false;
};

// A UDP sink and a sender, each bound to a free port on 127.0.0.1.
class LoopbackUdp {
public:
    LoopbackUdp() : sink_(bound(sinkPort_)), sender_(bound(senderPort_)) {}
    ~LoopbackUdp() { ::close(sink_); ::close(sender_); }
    bool ok() const { return sink_ >= 0 && sender_ >= 0; }
    uint16_t sinkPort() const { return sinkPort_; }

    // One datagram of `size` payload bytes, byte i being (marker + i) & 255.
    bool send(int size, uint8_t marker) const
    {
        std::vector<uint8_t> payload(static_cast<size_t>(size));
        for (size_t i = 0; i < payload.size(); ++i) payload[i] = uint8_t(marker + i);
        sockaddr_in to = loopback(sinkPort_);
        return ::sendto(sender_, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) == size;
    }

private:
    static sockaddr_in loopback(uint16_t port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    static int bound(uint16_t& port)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a = loopback(0);
        socklen_t len = sizeof a;
        const bool ok = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0
                        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0;
        port = ntohs(a.sin_port);
        if (!ok && fd >= 0) ::close(fd);
        return ok ? fd : -1;
    }
    uint16_t sinkPort_ = 0, senderPort_ = 0;
    int sink_, sender_;
};

// An Ethernet adapter that exists while this object holds it open; remove()
// makes it vanish.
class TapAdapter {
public:
    TapAdapter() : fd_(::open("/dev/net/tun", O_RDWR | O_CLOEXEC))
    {
        ifreq request{};
        request.ifr_flags = IFF_TAP | IFF_NO_PI;
        std::strncpy(request.ifr_name, "nivcap%d", IFNAMSIZ - 1);
        const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
        bool up = fd_ >= 0 && s >= 0 && ::ioctl(fd_, TUNSETIFF, &request) == 0;
        name_ = request.ifr_name;
        up = up && ::ioctl(s, SIOCGIFFLAGS, &request) == 0;
        request.ifr_flags |= IFF_UP;
        up = up && ::ioctl(s, SIOCSIFFLAGS, &request) == 0;
        if (s >= 0) ::close(s);
        if (!up) remove();
    }
    ~TapAdapter() { remove(); }
    bool ok() const { return fd_ >= 0; }
    const std::string& name() const { return name_; }
    void remove()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    std::string name_;
};

}
