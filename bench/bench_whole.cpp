// The whole program at work: 30000 packets drawn with all seven views shown
// (against the same range with every view hidden), the same packets drawn
// again (View > Redraw), a view opened onto them, the peak memory with a
// full store and every window open, and, with --startup, the moment the main
// window is on the screen (scripts/bench times that from the process start,
// against a bare window with --startup-bare).
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "app/frmMain.h"
#include "benchTable.h"
#include "benchTraffic.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"
#include "vis/VisForm.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"

namespace {
constexpr int kPackets = 30000;

double megabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024.0;
    return 0;
}

double drawAll()
{
    QElapsedTimer t;
    t.start();
    clearVisualizations();
    displayPackets(1, kPackets);
    frmVis7()->flush();
    QCoreApplication::processEvents();
    return t.nsecsElapsed() / 1e9;
}

// The wall-clock time at which the window is exposed, in nanoseconds.
int shownAt(QWidget* window)
{
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (waited.elapsed() > 5000) return 1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::printf("%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    return 0;
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--startup") return shownAt(frmMain());
    if (mode == "--startup-bare") {
        QWidget bare;
        bare.resize(104, 527);
        return shownAt(&bare);
    }

    frmMain()->show();
    QCoreApplication::processEvents();
    const double atStart = megabytes("VmRSS:");
    fillStoreWithMixedTraffic(kPackets);
    const double hidden = drawAll();
    for (const ViewRow& row : viewRows()) row.window()->show();
    frmFilters()->show();
    QCoreApplication::processEvents();
    const double shown = drawAll();
    const double peak = megabytes("VmHWM:");
    QElapsedTimer t;
    t.start();
    redrawVisualizations();
    frmVis7()->flush();
    QCoreApplication::processEvents();
    const double redraw = t.nsecsElapsed() / 1e9;
    // Each scrolling view opened onto the 30000 packets drawn while it was hidden.
    double slowestOpening = 0;
    const char* slowestView = "";
    for (int k : {1, 2, 4, 7}) {
        VisForm* view = viewRow(k).window();
        view->hide();
        clearVisualizations();
        displayPackets(1, kPackets);
        t.restart();
        view->show();
        if (k == 7) frmVis7()->flush();
        QCoreApplication::processEvents();
        const double opening = t.nsecsElapsed() / 1e9;
        std::printf("whole: %s opened onto 30000 drawn packets: %.3f s\n", viewRow(k).caption, opening);
        if (opening > slowestOpening) slowestOpening = opening, slowestView = viewRow(k).caption;
    }

    std::printf("whole: 30000 packets, every view hidden (thumbnails only): %.3f s\n", hidden);
    std::printf("whole: 30000 packets, all seven views shown:                %.3f s (target <= 0.5 s)\n", shown);
    std::printf("whole: View > Redraw of the 30000, all seven views shown:   %.3f s (target <= 0.5 s)\n", redraw);
    std::printf("whole: peak resident memory, full store, every window open: %.1f MB (target <= 150 MB; %.1f MB at start)\n",
                peak, atStart);
    tableRow("render of 30000 packets, all seven views shown", benchFigure("%.2f s", shown), "<= 0.5 s",
             benchFigure("views hidden %.2f s", hidden), shown / hidden);
    tableRow("View > Redraw of 30000 packets, all seven views shown", benchFigure("%.2f s", redraw), "<= 0.5 s",
             benchFigure("views hidden %.2f s", hidden), redraw / hidden);
    tableRow(std::string("a scrolling view opened onto 30000 drawn packets (slowest: ") + slowestView + ")",
             benchFigure("%.3f s", slowestOpening), "<= 0.2 s", benchFigure("views hidden %.2f s", hidden),
             slowestOpening / hidden);
    tableRow("peak memory, full store, every window open", benchFigure("%.0f MB", peak), "<= 150 MB",
             benchFigure("main window alone %.0f MB", atStart), peak / atStart);
    return 0;
}
