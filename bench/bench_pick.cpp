// What answering "which packet is this?" costs. Recording: each view's hit
// index, fed what its drawing feeds it for 30000 packets, against the view's
// whole Plot of the same packets in this run (target: at most a tenth).
// Hover: with a full store drawn into every view, 1000 pointer positions at
// random on each picture, the worst time to name the packets under one
// (target: one frame, 16 ms).
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

#include "app/frmMain.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "vis/VisForm.h"
#include "vis/frmVis3.h"
#include "vis/hitIndex.h"
#include "vis/viewRegistry.h"
#include "benchTable.h"
#include "benchTraffic.h"

namespace {
constexpr int kPackets = 30000;
constexpr double kRecordShare = 0.10;
constexpr double kHoverTargetMs = 16.0;
constexpr int kQueries = 1000;

// Microseconds per packet of f(n) for every stored packet.
double perPacket(const std::function<void(int32_t)>& f)
{
    QElapsedTimer t;
    t.start();
    for (int32_t n = 1; n <= kPackets; ++n) f(n);
    return double(t.nsecsElapsed()) / 1000.0 / kPackets;
}

double plotCost(VisWindow& view)
{
    std::array<uint8_t, kSlotBytes> work{};
    std::array<float, 256> frequency{};
    return perPacket([&](int32_t n) {
        const int len = getPacketLength(n) + 1;
        std::memcpy(work.data(), packetBytesOf(n), size_t(len));
        view.Plot({n, work.data(), len, &frequency});
    });
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmMain()->show();
    fillStoreWithMixedTraffic(kPackets);
    for (const ViewRow& row : viewRows()) row.window()->show();
    frmVis3()->spnNumAxes->setValue(17);
    QCoreApplication::processEvents();

    // What each drawing records per packet, on pictures of the views' sizes,
    // the row views in their static scroll as they draw by default.
    const PictureSurface& rows = *viewWindow(viewRow(1)).screenshotPictures()[0];
    const int w = rows.scaleWidth(), h = rows.scaleHeight();
    std::mt19937 random(7);
    const auto y = [&random, h] { return int(random() % unsigned(h)); };
    RowHits rowHits;
    rowHits.reset(h);
    MarkHits marks;
    marks.reset(w, h);
    ColumnHits column;
    column.reset(w, w - 2, -3);
    struct Recording {
        int view;
        const char* what;
        std::function<void(int32_t)> record;
    };
    const std::vector<Recording> recordings{
        {1, "text rainfall", [&](int32_t n) { rowHits.mark(n % h, n % h + 14, n); rowHits.erase(n % h + 15, n % h + 29); }},
        {2, "byte frequency", [&](int32_t n) { rowHits.mark(n % h, n % h, n); rowHits.erase(n % h + 1, n % h + 1); }},
        {3, "parallel plot, 17 axes", [&](int32_t n) {
             for (int j = 0; j < 16; ++j) marks.addSegment(n, j * w / 16, y(), (j + 1) * w / 16, y());
         }},
        {4, "binary rainfall", [&](int32_t n) { rowHits.mark(n % h, n % h, n); rowHits.erase(n % h + 1, n % h + 1); }},
        {5, "scatter plot", [&](int32_t n) { marks.addDisc(n, int(random() % unsigned(w)), y(), 2); }},
        {6, "combined view", [&](int32_t n) {
             marks.addSegment(n, 0, y(), w / 5, y());
             column.addDot(y(), n);
             column.completeQuantum();
         }},
    };
    std::printf("hit index recording against the view's Plot, %d packets, pictures about %dx%d:\n", kPackets, w, h);
    for (const Recording& r : recordings) {
        VisWindow& view = viewWindow(viewRow(r.view));
        const double plot = plotCost(view);
        const double record = perPacket(r.record);
        std::printf("  %-24s Plot %8.2f us, recording %6.3f us: %5.1f %%\n", r.what, plot, record, 100 * record / plot);
        tableRow(std::string("hit index recording, ") + r.what, benchFigure("%.3f us/packet", record),
                 benchFigure("<= %.0f %% of Plot", 100 * kRecordShare), benchFigure("Plot %.2f us", plot),
                 record / plot);
    }

    // Every view now holds a full store's marks: the worst of 1000 pointer positions a picture.
    std::printf("hover, %d random positions a picture, the worst:\n", kQueries);
    double worstOfAll = 0;
    for (const ViewRow& row : viewRows()) {
        auto* form = row.window();
        const std::vector<const PictureSurface*> pictures = form->screenshotPictures();
        for (size_t i = 0; i < pictures.size(); ++i) {
            double worst = 0;
            for (int q = 0; q < kQueries; ++q) {
                const QPoint at(int(random() % unsigned(pictures[i]->scaleWidth())),
                                int(random() % unsigned(pictures[i]->scaleHeight())));
                QElapsedTimer t;
                t.start();
                const QString text = form->pointerText(int(i), at);
                worst = std::max(worst, double(t.nsecsElapsed()) / 1e6);
            }
            worstOfAll = std::max(worstOfAll, worst);
            std::printf("  %-12s picture %zu  %8.3f ms\n", row.objectName, i, worst);
        }
    }
    tableRowAgainstTarget("hover tool tip, worst of 1000 positions a picture, all views full",
                          benchFigure("%.3f ms", worstOfAll), benchFigure("<= %.0f ms", kHoverTargetMs),
                          worstOfAll / kHoverTargetMs);
    std::fflush(stdout);
    std::_Exit(0);   // the main window's ending: no teardown of the store
}
