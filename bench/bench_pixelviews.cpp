// What drawing one packet costs the binary rainfall and byte frequency views,
// in every mode and scroll, and their thumbnails, on the offscreen platform
// with the windows shown, over 30000 packets of mixed sizes.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "benchTable.h"
#include "app/frmMain.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "core/modProcess.h"
#include "platform/PictureSurface.h"
#include "platform/yieldPoint.h"
#include "vis/frmVis2.h"
#include "vis/frmVis4.h"
#include "vis/viewRegistry.h"

namespace {
constexpr int kPackets = 30000;
constexpr double kPlotTargetUs = 20.0;
constexpr double kThumbnailTargetUs = 1.0;

// TCP with HTTP text, UDP, ICMP, full-size frames and a NOP run, in a repeating mix.
void fillStore()
{
    const int sizes[] = {60, 590, 1514, 74, 342, 1514, 98, 1078};
    const uint8_t protocols[] = {6, 17, 6, 1, 6, 17, 17, 6};
    const char* http = "GET /index.html HTTP/1.1\r\nHost: www.example.org\r\nUser-Agent: bench\r\n\r\n";
    std::vector<uint8_t> f;
    for (int n = 0; n < kPackets; ++n) {
        const int k = n % 8;
        f.assign(size_t(sizes[k]), 0);
        for (int i = 0; i < sizes[k]; ++i) f[size_t(i)] = uint8_t(i * 7 + n);
        f[12] = 0x08; f[13] = 0x00; f[14] = 0x45; f[23] = protocols[k];
        if (protocols[k] == 6)
            for (int i = 54, j = 0; i < sizes[k]; ++i, ++j) f[size_t(i)] = uint8_t(http[j % std::strlen(http)]);
        if (k == 2) std::memset(f.data() + 100, 0x90, 200);
        addPacket(f.data(), sizes[k] - 1);
    }
}

// Every packet's histogram, worked out ahead: it is the dispatch's cost, not the view's.
std::vector<std::array<float, 256>> histograms()
{
    std::vector<std::array<float, 256>> h(kPackets + 1);
    for (int32_t n = 1; n <= kPackets; ++n) {
        computeByteFrequency(packetBytesOf(n), getPacketLength(n) + 1);
        h[size_t(n)] = byteFrequency();
    }
    return h;
}

// Microseconds per packet of drawing every stored packet once; with events,
// the event loop runs at a yield point after every packet, as in the
// dispatch, so the repaints are counted too.
double perPacket(const std::function<void(const PacketToDraw&)>& plot,
                 const std::vector<std::array<float, 256>>& frequency, bool withEvents = false)
{
    std::array<uint8_t, kSlotBytes> work{};
    QElapsedTimer t;
    t.start();
    for (int32_t n = 1; n <= kPackets; ++n) {
        const int len = getPacketLength(n) + 1;
        std::memcpy(work.data(), packetBytesOf(n), size_t(len));
        plot({n, work.data(), len, &frequency[size_t(n)]});
        if (withEvents) yieldPoint();
    }
    QCoreApplication::processEvents();
    return double(t.nsecsElapsed()) / 1000.0 / kPackets;
}

double worst = 0;
const char* section = "binary rainfall Plot";   // the view being measured, for the table
void report(const char* what, double us, double target = kPlotTargetUs)
{
    worst = std::max(worst, us / target);
    std::printf("  %-44s %8.2f us/packet   (target %.0f us: %.2fx)\n", what, us, target, us / target);
    tableRowAgainstTarget(std::string(section) + ", " + what, benchFigure("%.2f us", us),
                          benchFigure("< %.0f us", target), us / target);
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmMain()->show();
    fillStore();
    const auto frequency = histograms();
    FrmVis4* rain = frmVis4();
    FrmVis2* bytes = frmVis2();
    rain->resize(400, 420 + 1100 / 15);
    rain->show();
    bytes->show();
    QCoreApplication::processEvents();

    std::printf("%d packets of mixed sizes\n", kPackets);
    std::printf("binary rainfall Plot, picture %dx%d:\n", rain->picGraph->scaleWidth(), rain->picGraph->scaleHeight());
    auto rainPlot = [rain](const PacketToDraw& p) { rain->Plot(p); };
    const char* scrolls[] = {"static", "dynamic"};
    char what[64];
    for (int s = 0; s < 2; ++s) {
        rain->radScroll[size_t(s)]->setChecked(true);
        for (int m = 0; m < 4; ++m) {
            rain->cmbVisMode->setCurrentIndex(m);
            std::snprintf(what, sizeof what, "%s, %s", rain->cmbVisMode->currentText().toUtf8().constData(), scrolls[s]);
            report(what, perPacket(rainPlot, frequency));
        }
        rain->tglASCII->setChecked(true);
        rain->tglNOP->setChecked(true);
        for (int m : {2, 3}) {
            rain->cmbVisMode->setCurrentIndex(m);
            std::snprintf(what, sizeof what, "%s, %s, both highlights", rain->cmbVisMode->currentText().toUtf8().constData(),
                          scrolls[s]);
            report(what, perPacket(rainPlot, frequency));
        }
        rain->tglASCII->setChecked(false);
        rain->tglNOP->setChecked(false);
    }
    rain->cmbVisMode->setCurrentIndex(2);
    std::printf("  %-44s %8.2f us/packet   (for comparison)\n", "rainfall 8:1, dynamic, with repaints",
                perPacket(rainPlot, frequency, true));

    section = "byte frequency Plot";
    std::printf("byte frequency Plot, picture %dx%d:\n", bytes->picGraph->scaleWidth(), bytes->picGraph->scaleHeight());
    auto bytesPlot = [bytes](const PacketToDraw& p) { bytes->Plot(p); };
    for (int s = 0; s < 2; ++s) {
        bytes->radScroll[size_t(s)]->setChecked(true);
        for (int m = 0; m < 2; ++m) {
            bytes->cmbVisMode->setCurrentIndex(m);
            std::snprintf(what, sizeof what, "%s, %s", bytes->cmbVisMode->currentText().toUtf8().constData(), scrolls[s]);
            report(what, perPacket(bytesPlot, frequency));
        }
    }
    std::printf("  %-44s %8.2f us/packet   (for comparison)\n", "frequency, dynamic, with repaints",
                perPacket(bytesPlot, frequency, true));

    section = "thumbnail";
    std::printf("thumbnails (%dx%d):\n", frmMain()->picVis(2)->scaleWidth(), frmMain()->picVis(2)->scaleHeight());
    for (int view : {2, 4}) {
        ThumbnailRenderer* thumb = viewThumbnail(viewRow(view));
        const ThumbnailTarget target = thumbnailTarget(viewRow(view).thumbIndex);
        report(view == 2 ? "byte frequency thumbnail" : "binary rainfall thumbnail",
               perPacket([thumb, target](const PacketToDraw& p) { thumb->plotThumbnail(p, target); }, frequency),
               kThumbnailTargetUs);
    }
    std::printf("worst: %.2fx its target\n", worst);
    std::fflush(stdout);
    std::_Exit(0);   // the main window's ending: no teardown of the store
}
