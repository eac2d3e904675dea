#include "modScreenShots.h"

#include "platform/DialogLayer.h"
#include "ui/FormWindow.h"
#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

void saveScreenshots()
{
    const QString systemTime = screenshotTimeStamp(QDateTime::currentDateTime());
    ScreenshotLog log;
    for (const ViewRow& row : viewRows()) {
        if (row.screenshotSuffixes.empty()) continue;   // the detail view is never asked
        const VisWindow& view = viewWindow(row);
        if (view.isShown()) writeScreenshots(view, row, systemTime, log);
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
