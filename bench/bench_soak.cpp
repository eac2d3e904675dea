// A long run: 1,000,000 frames through the ring and the dispatch, with all
// seven views shown, as live capture drives them (store a batch of the frames
// libpcap hands over at a time, draw them as one range). Every
// 100,000 frames: the rate over that stretch and the resident memory. The
// target is flat memory: growth under 5 MB from the first wrap of the ring to the end.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "benchTable.h"
#include "app/frmMain.h"
#include "core/drawnSequence.h"
#include "core/modLibrary.h"
#include "platform/CaptureControl.h"
#include "playback/modVisualize.h"
#include "vis/VisForm.h"
#include "vis/viewRegistry.h"

namespace {
constexpr int kFrames = 1'000'000;
constexpr int kStretch = 100'000;
constexpr double kGrowthTargetMB = 5.0;

double residentMB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// A repeating mix of TCP with text, UDP, ICMP, ARP and full-size frames.
std::vector<std::vector<uint8_t>> frameMix()
{
    const int sizes[] = {60, 590, 1514, 74, 342, 1514, 98, 1078, 42, 1601};
    const uint8_t protocols[] = {6, 17, 6, 1, 6, 17, 17, 6, 0, 6};
    const char* text = "GET /index.html HTTP/1.1\r\nHost: www.example.org\r\n\r\n";
    std::vector<std::vector<uint8_t>> mix;
    for (int k = 0; k < 10; ++k) {
        std::vector<uint8_t> f(size_t(sizes[k]));
        for (int i = 0; i < sizes[k]; ++i) f[size_t(i)] = uint8_t(k < 8 && i >= 54 ? text[i % std::strlen(text)] : i * 7 + k);
        f[12] = 0x08;
        f[13] = protocols[k] ? 0x00 : 0x06;   // the zero-protocol frame is ARP
        f[14] = 0x45;
        f[23] = protocols[k];
        mix.push_back(f);
    }
    return mix;
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmMain()->show();
    for (const ViewRow& row : viewRows()) row.window()->show();
    QCoreApplication::processEvents();
    const auto mix = frameMix();

    std::printf("soak: %d frames stored and drawn %d at a time, all %d views shown\n", kFrames,
                CaptureControl::kBatchFrames, int(viewRows().size()));
    std::printf("  %9s  %12s  %9s\n", "frames", "frames/s", "RSS MB");
    double atFirstStretch = 0, last = 0;
    QElapsedTimer stretch, whole;
    stretch.start();
    whole.start();
    for (int n = 1; n <= kFrames; ++n) {
        const auto& f = mix[size_t(n % mix.size())];
        addPacket(f.data(), int(f.size()) - 1);
        if (n % CaptureControl::kBatchFrames == 0)
            displayPackets(getPacketCount() - CaptureControl::kBatchFrames + 1, getPacketCount());
        if (n % kStretch == 0) {
            QCoreApplication::processEvents();
            last = residentMB();
            if (n == kStretch) atFirstStretch = last;
            std::printf("  %9d  %12.0f  %9.1f\n", n, kStretch / (double(stretch.nsecsElapsed()) / 1e9), last);
            std::fflush(stdout);
            stretch.restart();
        }
    }
    const double growth = last - atFirstStretch;
    const double perSecond = kFrames / (double(whole.nsecsElapsed()) / 1e9);
    std::printf("soak: %.0f frames/s over the whole run; the drawn sequence holds %zu runs, %zu bytes\n", perSecond,
                drawnSequence().runs().size(), drawnSequence().memoryBytes());
    tableRowAgainstTarget("soak, 1,000,000 frames, all views: frames stored and drawn",
                          benchFigure("%.0f frames/s", perSecond), ">= 30000 frames/s", 30000 / perSecond);
    tableRowAgainstTarget("soak: the drawn sequence's memory at the end",
                          benchFigure("%.0f bytes", double(drawnSequence().memoryBytes())), "<= 4 MB",
                          double(drawnSequence().memoryBytes()) / (4 << 20));
    std::printf("soak: memory grew %.1f MB from 100,000 frames (the ring wrapped at 30,000) to the end "
                "(target < %.0f MB: %.2fx)\n", growth, kGrowthTargetMB, growth / kGrowthTargetMB);
    tableRowAgainstTarget("soak, 1,000,000 frames, all views: memory growth after the wrap",
                          benchFigure("%.1f MB", growth), benchFigure("< %.0f MB", kGrowthTargetMB),
                          growth / kGrowthTargetMB);
    return 0;
}
