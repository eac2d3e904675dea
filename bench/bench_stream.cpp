// A capture stream into the program through a named pipe: frames per second
// stored and drawn when a writer pushes a pcap as fast as the pipe takes it
// (nothing can be lost: the pipe holds the writer back), with the views hidden
// and with all seven shown; and the latency from a frame's write to the end
// of its drawing when one frame is written every 100 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "benchCaptureWindow.h"
#include "benchTable.h"
#include "platform/StreamControl.h"

namespace {
constexpr int kFrames = 100000;
constexpr int kLatencyFrames = 100;
constexpr int kTargetRate = 50000;
constexpr double kTargetLatencyMs = 50;

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

std::vector<uint8_t> pcapHeader()
{
    std::vector<uint8_t> b;
    for (uint32_t v : {0xA1B2C3D4u, 0x00040002u, 0u, 0u, 65535u, 1u}) put32(b, v);
    return b;
}

// One UDP-over-IPv4 frame of 60 to 1500 bytes as a pcap record, numbered k.
std::vector<uint8_t> record(int k)
{
    const uint32_t size = 60 + uint32_t(k * 37 % 1441);
    std::vector<uint8_t> frame(size, uint8_t(k));
    const uint8_t head[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x08, 0x00, 0x45, 0, uint8_t((size - 14) >> 8),
                            uint8_t(size - 14), 0, 0, 0, 0, 64, 17, 0, 0, 10, 0, 0, 1, 10, 0, 0, 2,
                            uint8_t(k >> 8), uint8_t(k), 0, 53};
    std::copy(std::begin(head), std::end(head), frame.begin());
    std::vector<uint8_t> b;
    put32(b, 1700000000 + uint32_t(k / 1000));
    put32(b, uint32_t(k % 1000) * 1000);
    put32(b, size);
    put32(b, size);
    b.insert(b.end(), frame.begin(), frame.end());
    return b;
}

bool writeAll(int fd, const std::vector<uint8_t>& bytes)
{
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n <= 0) return false;
        at += size_t(n);
    }
    return true;
}

// Serves events until the stream has ended or `limitMs` have passed.
void serveUntilEnded(FrmCapture* w, qint64 limitMs)
{
    QElapsedTimer t;
    t.start();
    while (w->stream->isStreaming() && t.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void throughput(FrmCapture* w, const std::string& fifo, const char* views)
{
    std::vector<uint8_t> stream = pcapHeader();
    for (int k = 0; k < kFrames; ++k) {
        const std::vector<uint8_t> r = record(k);
        stream.insert(stream.end(), r.begin(), r.end());
    }
    w->StartStream(QString::fromStdString(fifo));
    QElapsedTimer clock;
    clock.start();
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        writeAll(fd, stream);
        ::close(fd);
    });
    serveUntilEnded(w, 120000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    writer.join();
    const int64_t stored = w->stream->received();
    const double rate = stored / seconds;
    std::printf("stream: %-16s %d frames sent, %lld stored and drawn, %.0f frames/s\n", views, kFrames,
                (long long)stored, rate);
    tableRow(std::string("stream through a pipe, ") + views,
             benchFigure("%.0f frames/s", rate) + benchFigure(", %.0f lost", double(kFrames - stored)),
             benchFigure(">= %.0f frames/s, none lost", kTargetRate), benchFigure("offered %.0f frames", kFrames),
             rate / kTargetRate);
}

void latency(FrmCapture* w, const std::string& fifo)
{
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> written(kLatencyFrames), drawn(kLatencyFrames);
    std::atomic<int> writtenCount{0};
    w->StartStream(QString::fromStdString(fifo));
    // Connected after the window's own: runs once the frames handed over are drawn.
    const QMetaObject::Connection seen = QObject::connect(w->stream, &StreamControl::framesHanded, [&] {
        const auto now = Clock::now();
        for (int64_t k = 0; k < std::min<int64_t>(w->stream->received(), kLatencyFrames); ++k)
            if (drawn[size_t(k)] == Clock::time_point{}) drawn[size_t(k)] = now;
    });
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        writeAll(fd, pcapHeader());
        for (int k = 0; k < kLatencyFrames; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            written[size_t(k)] = Clock::now();
            writeAll(fd, record(k));
        }
        ::close(fd);
    });
    serveUntilEnded(w, 60000);
    writer.join();
    QObject::disconnect(seen);
    std::vector<double> ms;
    for (int k = 0; k < kLatencyFrames; ++k)
        if (drawn[size_t(k)] != Clock::time_point{})
            ms.push_back(std::chrono::duration<double, std::milli>(drawn[size_t(k)] - written[size_t(k)]).count());
    std::sort(ms.begin(), ms.end());
    const double median = ms.empty() ? 0 : ms[ms.size() / 2], worst = ms.empty() ? 0 : ms.back();
    std::printf("stream latency, one frame every 100 ms, all seven shown: %zu of %d drawn, median %.2f ms, worst %.2f ms\n",
                ms.size(), kLatencyFrames, median, worst);
    tableRowAgainstTarget("stream latency, write to drawn, median of 100", benchFigure("%.2f ms", median),
                          benchFigure("<= %.0f ms", kTargetLatencyMs), median / kTargetLatencyMs);
    tableRowAgainstTarget("stream latency, write to drawn, worst of 100", benchFigure("%.2f ms", worst),
                          benchFigure("<= %.0f ms", kTargetLatencyMs), worst / kTargetLatencyMs);
}
}

int main(int argc, char** argv)
{
    offscreenWithoutDisplay();
    QApplication app(argc, argv);
    FrmCapture* w = showCaptureWindow();
    char folder[] = "/tmp/bench_stream-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string fifo = std::string(folder) + "/stream.fifo";
    if (::mkfifo(fifo.c_str(), 0600) != 0) return 1;

    throughput(w, fifo, "views hidden");
    showAllViews();
    throughput(w, fifo, "all seven shown");
    latency(w, fifo);
    ::unlink(fifo.c_str());
    ::rmdir(folder);
    endAsTheProgramDoes();
}
