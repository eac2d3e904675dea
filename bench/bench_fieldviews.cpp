// What drawing one packet costs the scatter plot, the parallel coordinate
// plot (at 2 and 17 axes) and the combined view, on the offscreen platform
// with the windows shown, over 30000 packets of mixed protocols and fields.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "benchTable.h"
#include "app/frmMain.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "platform/SpinButton.h"
#include "vis/frmVis3.h"
#include "vis/frmVis5.h"
#include "vis/frmVis6.h"
#include "vis/viewRegistry.h"

namespace {
constexpr int kPackets = 30000;
constexpr double kScatterTargetUs = 30.0;
constexpr double kParallelTargetUs = 150.0;   // at 17 axes
constexpr double kCombinedTargetUs = 40.0;

// TCP, UDP and ICMP frames of several sizes, from many addresses to many
// ports, with changing TTLs, identifications and flags: labels of all lengths.
void fillStore()
{
    const int sizes[] = {60, 590, 1514, 74, 342, 1514, 98, 1078};
    const uint8_t protocols[] = {6, 17, 6, 1, 6, 17, 17, 6};
    std::vector<uint8_t> f;
    for (int n = 0; n < kPackets; ++n) {
        const int k = n % 8;
        f.assign(size_t(sizes[k]), 0);
        f[12] = 0x08; f[13] = 0x00; f[14] = 0x45;
        f[16] = uint8_t((sizes[k] - 14) >> 8); f[17] = uint8_t(sizes[k] - 14);
        f[18] = uint8_t(n >> 8); f[19] = uint8_t(n);
        f[20] = n % 3 ? 0x40 : 0x20;
        f[22] = uint8_t(32 + n % 200); f[23] = protocols[k];
        f[24] = uint8_t(n * 7); f[25] = uint8_t(n * 13);
        const uint8_t source[] = {uint8_t(10 + n % 200), uint8_t(n >> 4), uint8_t(n), uint8_t(1 + n % 250)};
        const uint8_t dest[] = {192, 168, uint8_t(n % 7), uint8_t(n % 251)};
        for (int i = 0; i < 4; ++i) f[size_t(26 + i)] = source[i], f[size_t(30 + i)] = dest[i];
        const int sport = 1024 + n % 60000, dport = (n % 5) ? 80 + n % 9 : 50000 + n % 9000;
        f[34] = uint8_t(sport >> 8); f[35] = uint8_t(sport); f[36] = uint8_t(dport >> 8); f[37] = uint8_t(dport);
        addPacket(f.data(), sizes[k] - 1);
    }
}

double threadMicroseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

struct Cost {
    double cpu;    // the thread's own time: what the drawing costs, however busy the machine
    double wall;
};

// Microseconds per packet of plotting every stored packet once, with the
// repaints the event loop does at the end.
Cost perPacket(const std::function<void(const PacketToDraw&)>& plot)
{
    QElapsedTimer t;
    t.start();
    const double cpu = threadMicroseconds();
    for (int32_t n = 1; n <= kPackets; ++n) plot({n, packetBytesOf(n), getPacketLength(n) + 1, nullptr});
    QCoreApplication::processEvents();
    return {(threadMicroseconds() - cpu) / kPackets, double(t.nsecsElapsed()) / 1000.0 / kPackets};
}

const char* section = "scatter plot Plot";   // the view being measured, for the table
void report(const char* what, Cost cost, double target)
{
    std::printf("  %-30s %8.2f us/packet cpu  %8.2f wall   (target %.0f us: %.2fx)\n", what, cost.cpu, cost.wall,
                target, cost.cpu / target);
    tableRowAgainstTarget(std::string(section) + ", " + what, benchFigure("%.2f us", cost.wall),
                          benchFigure("< %.0f us", target), cost.wall / target);
}

Cost thumbnail(int number)
{
    ThumbnailRenderer* thumb = viewThumbnail(viewRow(number));
    const ThumbnailTarget target = thumbnailTarget(viewRow(number).thumbIndex);
    return perPacket([thumb, target](const PacketToDraw& p) { thumb->plotThumbnail(p, target); });
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmMain()->show();
    fillStore();
    FrmVis5* scatter = frmVis5();
    FrmVis3* parallel = frmVis3();
    FrmVis6* combined = frmVis6();
    for (QWidget* w : {static_cast<QWidget*>(scatter), static_cast<QWidget*>(parallel), static_cast<QWidget*>(combined)})
        w->show();
    parallel->resize(900, 500);
    QCoreApplication::processEvents();
    std::printf("%d packets of mixed protocols and fields\n", kPackets);

    std::printf("scatter plot Plot (picture %dx%d):\n", scatter->picGraph->scaleWidth(), scatter->picGraph->scaleHeight());
    report("packet length / protocol", perPacket([scatter](const PacketToDraw& p) { scatter->Plot(p); }),
           kScatterTargetUs);
    scatter->comboAxis[0]->setCurrentIndex(2);   // "Source IP"
    scatter->comboAxis[1]->setCurrentIndex(3);   // "Dest IP": the longest labels
    report("Source IP / Dest IP", perPacket([scatter](const PacketToDraw& p) { scatter->Plot(p); }),
           kScatterTargetUs);
    report("thumbnail", thumbnail(5), kScatterTargetUs);

    section = "parallel plot Plot";
    std::printf("parallel plot Plot (picture %dx%d):\n", parallel->picGraph->scaleWidth(),
                parallel->picGraph->scaleHeight());
    for (int axes : {2, 17}) {
        parallel->spnNumAxes->setValue(axes);
        const QByteArray what = QByteArray::number(axes) + " axes";
        report(what.constData(), perPacket([parallel](const PacketToDraw& p) { parallel->Plot(p); }),
               kParallelTargetUs);
    }
    report("thumbnail", thumbnail(3), kParallelTargetUs);

    section = "combined view Plot";
    std::printf("combined view Plot (picture %dx%d):\n", combined->picGraph->scaleWidth(),
                combined->picGraph->scaleHeight());
    for (int n : {1, 5}) {
        combined->spnBuckets->setValue(n);
        const QByteArray what = QByteArray::number(n) + " packets per quantum";
        report(what.constData(), perPacket([combined](const PacketToDraw& p) { combined->Plot(p); }),
               kCombinedTargetUs);
    }
    report("thumbnail", thumbnail(6), kCombinedTargetUs);
    std::fflush(stdout);
    std::_Exit(0);   // the main window's ending: no teardown of the store
}
