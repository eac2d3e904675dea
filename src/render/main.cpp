// nivora-render, run by "nivora-cli render" and "nivora-cli pick": the
// program's own windows on the offscreen platform, every view shown, a file
// loaded and drawn, and the pictures written to a folder, or the packets
// under one pixel named.
#include <QAction>
#include <QApplication>
#include <cstdio>

#include "cli/cliSupport.h"
#include "app/frmMain.h"
#include "core/modFilters.h"
#include "core/modLibrary.h"
#include "core/showOnly.h"
#include "playback/modVisualize.h"
#include "render/controlSettings.h"
#include "render/pickedPackets.h"
#include "render/renderAnimation.h"
#include "render/renderOptions.h"
#include "render/renderOutput.h"
#include "render/renderUsage.h"
#include "vis/VisForm.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"

namespace {
// The offscreen platform's remarks (no raise(), no runtime folder) are no
// news to someone rendering; the renderer reports its own failures.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

int fail(const QString& message, int status)
{
    printError(message.toStdString());
    return status;
}

// Every view opened from the View menu, as a user would, and sized when asked.
void showViews(const QSize& size)
{
    for (const ViewRow& row : viewRows()) {
        frmMain()->menuItem(row.menuItem)->trigger();
        if (size.isValid()) row.window()->resize(size);
    }
    QCoreApplication::processEvents();
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QApplication::setApplicationName("nivora");

    QString error;
    std::optional<RenderOptions> options = parseRenderOptions(app.arguments().mid(1), error);
    if (!options) {
        printError(error.toStdString());
        return usageError(app.arguments().value(1) == "pick" ? kPickUsage : kRenderUsage);
    }
    // A window by time is found in the file before any window is drawn.
    if (const int status = findWindowByTime(options->window, options->file.toStdString(), kSlotCount)) return status;
    std::optional<PickedPicture> picked;
    if (options->pick && !(picked = pickedPicture(options->view, error))) return fail(error, 2);
    std::string filterError;
    const std::optional<FilterExpression> filter = FilterExpression::compile(options->filter.toStdString(), filterError);
    if (!filter) {
        printError("--filter '" + options->filter.toStdString() + "': " + filterError);
        return usageError(options->pick ? kPickUsage : kRenderUsage);
    }
    setShowOnlyExpression(*filter);

    frmMain()->show();
    showViews(options->size);
    for (const QString& setting : options->settings)
        if (const QString why = applySetting(setting); !why.isEmpty()) return fail(why, 2);
    if (picked)
        if (const QString why = pointOutside(*picked, options->at, options->view); !why.isEmpty()) return fail(why, 2);

    LoadReport report;
    if (!loadIntoFreshStore(options->file.toStdString(), report, options->window.frames)) return 1;
    RenderedRange range{report.firstPacket, report.lastPacket, 0};
    if (options->first != 0) {
        if (options->last > report.lastPacket)
            return fail(QString("--range %1-%2 goes past the last packet, %3")
                            .arg(options->first).arg(options->last).arg(report.lastPacket), 2);
        range.first = options->first;
        range.last = options->last;
    }
    for (int64_t p = range.first; p <= range.last; ++p) range.drawn += !filterPacket(p);

    clearVisualizations();
    if (options->animate) {
        const int64_t every = options->every ? options->every : animationStep(range.last - range.first + 1, kMostAnimationFrames);
        if (const QString why = renderAnimations(options->outDir, range, every, options->fps); !why.isEmpty()) return fail(why, 1);
    } else {
        displayPackets(range.first, range.last);
        frmVis7()->flush();
        QCoreApplication::processEvents();
    }

    if (picked) {
        if (printPickedPackets(*picked, options->at)) return finalStatus(report);
        return fail(QString("no packet drew %1 at %2,%3").arg(options->view).arg(options->at.x()).arg(options->at.y()), 1);
    }
    if (const QString why = writeRenderOutput(options->outDir, options->format, options->file, range); !why.isEmpty())
        return fail(why, 1);
    return finalStatus(report);
}
