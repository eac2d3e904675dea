// Live capture under load on the loopback adapter: a sending thread floods a
// port of its own on 127.0.0.1 while the capture window stores and draws every
// frame through the event loop. Reports frames per second stored and drawn,
// kernel drops and the longest wait of the event loop, with all views hidden
// and with all seven shown, at the target rate and at full flood.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include "core/pcapSession.h"
#include "platform/CaptureControl.h"
#include "benchCaptureWindow.h"
#include "benchTable.h"

namespace {
constexpr int kSeconds = 2;
const int kPayloads[] = {18, 200, 600, 1200, 1472};

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int boundSocket(uint16_t& port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0
        || getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return -1;
    port = ntohs(a.sin_port);
    return fd;
}

// Sends to 127.0.0.1:port for kSeconds, `rate` datagrams a second in 1 ms
// steps (0: as fast as it can). Returns the number sent.
int64_t sendFor(uint16_t port, int rate)
{
    uint16_t own = 0;
    const int fd = boundSocket(own);
    if (fd < 0) return 0;
    const sockaddr_in to = loopback(port);
    std::vector<uint8_t> payload(1472, 0x5a);
    int64_t sent = 0;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    const timespec start = next;
    const auto seconds = [&](const timespec& t) { return double(t.tv_sec - start.tv_sec) + (t.tv_nsec - start.tv_nsec) * 1e-9; };
    for (int64_t step = 0;; ++step) {
        const int burst = rate > 0 ? int((step + 1) * rate / 1000 - step * rate / 1000) : 64;
        for (int i = 0; i < burst; ++i) {
            const size_t size = size_t(kPayloads[sent % 5]);
            if (sendto(fd, payload.data(), size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) >= 0) ++sent;
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (seconds(now) >= kSeconds) break;
        if (rate > 0) {
            next.tv_nsec += 1'000'000;
            if (next.tv_nsec >= 1'000'000'000) { next.tv_nsec -= 1'000'000'000; ++next.tv_sec; }
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
        }
    }
    close(fd);
    return sent;
}

struct RunResult {
    int64_t sent = 0;
    int64_t stored = 0;
    uint64_t dropped = 0;
    double seconds = 0;
    qint64 longestWaitMs = 0;
};

RunResult run(FrmCapture* w, uint16_t port, int rate)
{
    w->StartCapture();
    RunResult r;
    if (!w->packet->isCapturing()) return r;

    // A 1 ms timer measures how long the event loop was kept from its other work.
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] { r.longestWaitMs = std::max(r.longestWaitMs, sinceTick.restart()); });
    tick.start(1);

    std::atomic<int64_t> sent{-1};
    QElapsedTimer clock;
    clock.start();
    std::thread sender([&] { sent = sendFor(port, rate); });
    // Serve events until everything sent has been handled, or a second past the sending.
    qint64 lastStored = -1;
    QElapsedTimer idle;
    idle.start();
    while (true) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const int64_t stored = w->packet->counts().received;
        if (stored != lastStored) {
            lastStored = stored;
            r.seconds = clock.nsecsElapsed() * 1e-9;
            idle.restart();
        }
        if (sent >= 0 && (stored >= sent || idle.elapsed() > 1000)) break;
    }
    sender.join();
    tick.stop();
    w->StopCapture();
    const CaptureCounts counts = w->packet->counts();
    r.sent = sent;
    r.stored = counts.received;
    r.dropped = counts.dropped;
    return r;
}

void report(const char* views, const char* load, const RunResult& r, int target)
{
    const double rate = r.seconds > 0 ? double(r.stored) / r.seconds : 0;
    std::printf("capture: %-16s %-14s sent %8lld  stored+drawn %8lld  %9.0f frames/s  dropped %7llu  "
                "longest event-loop wait %3lld ms",
                views, load, (long long)r.sent, (long long)r.stored, rate, (unsigned long long)r.dropped,
                (long long)r.longestWaitMs);
    if (target > 0)
        std::printf("  (target %d/s, no drops: %s)", target,
                    rate >= target * 0.98 && r.dropped == 0 && r.stored == r.sent ? "met" : "MISSED");
    std::printf("\n");
    if (target > 0)
        tableRow(std::string("capture on lo, ") + views, benchFigure("%.0f frames/s", rate) +
                     benchFigure(", %.0f dropped", double(r.dropped)) + benchFigure(", %.0f lost", double(r.sent - r.stored)),
                 benchFigure(">= %.0f frames/s, no drops", target), benchFigure("offered %.0f frames/s", target),
                 rate / target);
}
}

int main(int argc, char** argv)
{
    offscreenWithoutDisplay();
    QApplication app(argc, argv);

    CaptureFailure failure;
    if (!PcapSession::open("lo", "", CaptureMode::NonBlocking, failure)) {
        std::printf("capture: not measured, capturing is not permitted here (%s)\n", failure.detail.c_str());
        return 0;
    }
    FrmCapture* w = showCaptureWindow();
    uint16_t port = 0;
    const int sink = boundSocket(port);   // a listener, so the flood raises no ICMP errors
    w->cmbInterface->setCurrentIndex(w->cmbInterface->findText("lo"));
    w->txtFilter->setText(QString("udp and dst port %1").arg(port));

    std::printf("capture: loopback, snap length %d, kernel buffer %d MB, %d s per run, payloads 18..1472 bytes\n",
                kCaptureSnapLength, kCaptureBufferBytes >> 20, kSeconds);
    report("views hidden", "50000/s", run(w, port, 50000), 50000);
    report("views hidden", "flood", run(w, port, 0), 0);
    showAllViews();
    report("all seven shown", "20000/s", run(w, port, 20000), 20000);
    report("all seven shown", "flood", run(w, port, 0), 0);
    std::printf("capture: on lo the kernel counts a dropped frame twice (once sent, once received)\n");
    close(sink);
    endAsTheProgramDoes();
}
