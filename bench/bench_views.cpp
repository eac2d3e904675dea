// What drawing one packet costs the text rainfall and detail views, on the
// offscreen platform with the windows shown, over 30000 packets of mixed sizes.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "app/frmMain.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "platform/yieldPoint.h"
#include "vis/frmVis1.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"
#include "benchTable.h"
#include "benchTraffic.h"

namespace {
constexpr int kPackets = 30000;
constexpr double kRainfallTargetUs = 30.0;
constexpr double kDetailTargetUs = 50.0;

// Microseconds per packet of plotting every stored packet once; with events,
// the event loop runs at a yield point after every packet, as in the dispatch,
// so repaints and the detail view's refreshes are counted too.
double perPacket(const std::function<void(const PacketToDraw&)>& plot, bool withEvents)
{
    std::array<uint8_t, kSlotBytes> work{};
    QElapsedTimer t;
    t.start();
    for (int32_t n = 1; n <= kPackets; ++n) {
        const int len = getPacketLength(n) + 1;
        std::memcpy(work.data(), packetBytesOf(n), size_t(len));
        plot({n, work.data(), len, nullptr});
        if (withEvents) yieldPoint();
    }
    QCoreApplication::processEvents();
    return double(t.nsecsElapsed()) / 1000.0 / kPackets;
}

void report(const char* view, const char* what, double us, double target)
{
    std::printf("  %-44s %8.2f us/packet   (target %.0f us: %.2fx)\n", what, us, target, us / target);
    tableRowAgainstTarget(std::string(view) + ", " + what, benchFigure("%.2f us", us),
                          benchFigure("< %.0f us", target), us / target);
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmMain()->show();
    fillStoreWithMixedTraffic(kPackets);
    FrmVis1* rain = frmVis1();
    FrmVis7* detail = frmVis7();
    rain->show();
    detail->show();
    QCoreApplication::processEvents();
    std::printf("%d packets of mixed sizes, text rainfall picture %dx%d (%d characters a line)\n", kPackets,
                rain->picGraph->scaleWidth(), rain->picGraph->scaleHeight(), rain->rain().lineCells());

    auto rainPlot = [rain](const PacketToDraw& p) { rain->Plot(p); };
    std::printf("text rainfall Plot:\n");
    const char* modes[] = {"ASCII", "hex", "decimal"};
    double worst = 0;
    for (int m = 0; m < 3; ++m) {
        rain->cmbVisMode->setCurrentIndex(m);
        const double us = perPacket(rainPlot, false);
        worst = std::max(worst, us);
        report("text rainfall Plot", modes[m], us, kRainfallTargetUs);
    }
    rain->cmbVisMode->setCurrentIndex(0);
    rain->tglPrintASCII->setChecked(true);
    report("text rainfall Plot", "ASCII, strings of length 1", perPacket(rainPlot, false), kRainfallTargetUs);
    rain->tglPrintASCII->setChecked(false);
    rain->cmbVisMode->setCurrentIndex(1);
    report("text rainfall Plot", "hex, with repaints (yield after each packet)", perPacket(rainPlot, true), kRainfallTargetUs);
    ThumbnailRenderer* thumb = viewThumbnail(viewRow(1));
    const ThumbnailTarget target = thumbnailTarget(1);
    report("text rainfall", "thumbnail", perPacket([thumb, target](const PacketToDraw& p) { thumb->plotThumbnail(p, target); }, false),
           kRainfallTargetUs);

    std::printf("detail view Plot:\n");
    auto detailPlot = [detail](const PacketToDraw& p) { detail->Plot(p); };
    const double detailPlain = perPacket(detailPlot, false);
    report("detail view", "Plot (the boxes refresh later, coalesced)", detailPlain, kDetailTargetUs);
    // The worst refresh: full-size frames whose colour changes every time
    // (packets 3 and 6 are 1514-byte TCP and UDP frames).
    QElapsedTimer t;
    t.start();
    constexpr int kRefreshes = 300;
    for (int k = 0; k < kRefreshes; ++k) {
        const int32_t n = k % 2 ? 3 : 6;
        detail->Plot({n, packetBytesOf(n), getPacketLength(n) + 1, nullptr});
        detail->flush();
        QCoreApplication::processEvents();
    }
    const double refreshUs = double(t.nsecsElapsed()) / 1000.0 / kRefreshes;
    const double perRefresh = FrmVis7::kRefreshMs;   // packets between refreshes at 1000 packets/s
    std::printf("  one refresh of 1514-byte packets, repainted %8.2f us (at most one per %d ms)\n", refreshUs,
                FrmVis7::kRefreshMs);
    report("detail view", "Plot + refreshes at 1000 packets/s", detailPlain + refreshUs / perRefresh, kDetailTargetUs);
    std::printf("  share of the time spent refreshing          %8.1f %%\n", 100.0 * refreshUs / (1000.0 * FrmVis7::kRefreshMs));
    std::printf("worst text rainfall mode: %.2f us (%.2fx target)\n", worst, worst / kRainfallTargetUs);
    std::fflush(stdout);
    std::_Exit(0);   // the main window's ending: no teardown of the store
}
