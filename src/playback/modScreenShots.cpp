#include "modScreenShots.h"

#include <QCoreApplication>
#include <QDir>

#include "app/FormWindow.h"
#include "platform/DialogLayer.h"
#include "platform/PictureSurface.h"
#include "vis/VisWindow.h"
#include "vis/visWindows.h"

QString screenshotTimeStamp(const QDateTime& when) { return when.toString("yyyyMMdd_HHmmss"); }

QString screenshotPath(const QString& systemTime, const QString& suffix)
{
    return QCoreApplication::applicationDirPath() + QDir::separator() + systemTime + suffix;
}

void writeScreenshot(const PictureSurface& picture, const QString& systemTime, const QString& suffix,
                     ScreenshotLog& log)
{
    const QString path = screenshotPath(systemTime, suffix);
    QString reason;
    if (picture.saveBmp(path, &reason)) log.written << path;
    else log.failures << QString("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

void saveScreenshots()
{
    const QString systemTime = screenshotTimeStamp(QDateTime::currentDateTime());
    ScreenshotLog log;
    for (int k = 1; k <= 6; ++k) {
        VisWindow* view = visWindow(k);
        if (view->isShown()) view->ScreenShot(systemTime, log);
    }
    if (!log.failures.isEmpty())
        dialogs().messageBox("These screenshots could not be saved:\n\n" + log.failures.join("\n"),
                             "Screenshots", MsgButtons::Ok, MsgIcon::Exclamation);
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
