#include "modScreenShots.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "platform/DialogLayer.h"
#include "ui/FormWindow.h"
#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

namespace {
// Whether a file can be made in the folder: the only sure test of a
// read-only mount, a missing right or a folder that is not one.
bool takesFiles(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath("nivora-XXXXXX.probe"));
    return probe.open();
}

QString picturesFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    QDir().mkpath(folder);
    return folder;
}

}

QString folderTakingFiles(bool& elsewhere)
{
    const QString program = programFolder();
    elsewhere = !takesFiles(program);
    return elsewhere ? picturesFolder() : program;
}

namespace {
QString files(qsizetype n) { return n == 1 ? QString("1 screenshot") : QString("%1 screenshots").arg(n); }
}

QString saveScreenshots()
{
    std::vector<const ViewRow*> shown;
    for (const ViewRow& row : viewRows())
        if (!row.screenshotSuffixes.empty() && viewWindow(row).isShown()) shown.push_back(&row);   // never the detail view
    if (shown.empty()) return "No screenshots saved: no view window with a picture is open.";

    const QString systemTime = screenshotTimeStamp(QDateTime::currentDateTime());
    ScreenshotLog log;
    bool elsewhere = false;
    log.folder = folderTakingFiles(elsewhere);
    for (const ViewRow* row : shown) writeScreenshots(viewWindow(*row), *row, systemTime, log);

    if (!log.failures.isEmpty())
        dialogs().messageBox("These screenshots could not be saved:\n\n" + log.failures.join("\n"),
                             "Screenshots", MsgButtons::Ok, MsgIcon::Exclamation);
    QString line = QString("%1 saved in %2").arg(files(log.written.size()), QDir::toNativeSeparators(log.folder));
    if (elsewhere) line = "The program's folder takes no files: " + line + " instead";
    if (!log.failures.isEmpty()) line += QString("; %1 could not be saved").arg(log.failures.size());
    return line + ".";
}

namespace {
class FrmSaveScreenshots : public FormWindow {
public:
    FrmSaveScreenshots() : FormWindow("frmSaveScreenshots", "Save Screen Shots") { resize(300, 120); }
};
QPointer<FrmSaveScreenshots> saveWindow;
}

void showScreenshotDialog()
{
    FrmSaveScreenshots* w = formInstance(saveWindow);
    w->show();
    w->raise();
}
