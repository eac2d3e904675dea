// The cost of the dispatch per packet: copy out of the store, filter, byte
// histogram and the seven views' calls, with views that draw nothing, against
// a plain copy of the same bytes.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/frmMain.h"
#include "core/accessors.h"
#include "benchTable.h"
#include "playback/modVisualize.h"
#include "vis/viewRegistry.h"

namespace {
struct SilentView : VisWindow, ThumbnailRenderer {
    bool shown;
    explicit SilentView(bool shown) : shown(shown) {}
    void Plot(const PacketToDraw&) override {}
    void plotThumbnail(const PacketToDraw&, const ThumbnailTarget&) override {}
    void clear() override {}
    bool isShown() const override { return shown; }
};

double microsecondsPerPacket(int64_t first, int64_t last, int rounds)
{
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        displayPackets(first, last);
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::micro>(t1 - t0).count() / double(last - first + 1));
    }
    return best;
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    frmMain();   // start-up: store, colours, windows
    constexpr int kFrames = 30000, kSize = 1514;
    std::vector<uint8_t> frame(kSize);
    for (int i = 0; i < kSize; ++i) frame[size_t(i)] = uint8_t(i * 7);
    frame[12] = 0x08; frame[13] = 0x00; frame[14] = 0x45; frame[23] = 6;
    for (int f = 0; f < kFrames; ++f) addPacket(frame.data(), kSize - 1);

    std::vector<uint8_t> target(kSize);
    const auto t0 = std::chrono::steady_clock::now();
    for (int f = 1; f <= kFrames; ++f) {
        std::memcpy(target.data(), packetBytesOf(f), kSize);
        asm volatile("" ::"r"(target.data()) : "memory");
    }
    const double copyUs = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / kFrames;

    // With the real windows, all hidden: only the thumbnails draw.
    const double realHidden = microsecondsPerPacket(1, kFrames, 3);

    std::vector<std::unique_ptr<SilentView>> hidden, shown;
    for (int k = 1; k <= 7; ++k) {
        hidden.push_back(std::make_unique<SilentView>(false));
        shown.push_back(std::make_unique<SilentView>(true));
    }
    for (int k = 1; k <= 7; ++k) overrideView(k, hidden[size_t(k - 1)].get(), hidden[size_t(k - 1)].get());
    const double hiddenUs = microsecondsPerPacket(1, kFrames, 3);
    for (int k = 1; k <= 7; ++k) overrideView(k, shown[size_t(k - 1)].get(), shown[size_t(k - 1)].get());
    const double shownUs = microsecondsPerPacket(1, kFrames, 3);

    std::printf("dispatch: plain copy of a 1514-byte packet:              %.3f us\n", copyUs);
    std::printf("dispatch: per packet, silent views hidden:               %.3f us (target < 5 us, %.1f x copy)\n",
                hiddenUs, hiddenUs / copyUs);
    std::printf("dispatch: per packet, silent views shown:                %.3f us (%.1f x copy)\n", shownUs,
                shownUs / copyUs);
    std::printf("dispatch: per packet, this build's windows all hidden:   %.3f us (thumbnails only)\n", realHidden);
    tableRow("dispatch per packet, views hidden", benchFigure("%.2f us", hiddenUs), "< 5 us",
             benchFigure("1514-byte copy %.3f us", copyUs), hiddenUs / copyUs);
    tableRow("dispatch per packet, the six real thumbnails drawn", benchFigure("%.2f us", realHidden), "(none)",
             benchFigure("views hidden %.2f us", hiddenUs), realHidden / hiddenUs);
    return 0;
}
