#include "VisForm.h"

#include <QShowEvent>

#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

VisForm::VisForm(int viewNumber)
    : FormWindow(viewRow(viewNumber).objectName, viewRow(viewNumber).caption, viewRow(viewNumber).menuItem),
      viewNumber_(viewNumber)
{
}

void VisForm::ScreenShot(const QString& systemTime, ScreenshotLog& log) const
{
    writeScreenshots(*this, viewRow(viewNumber_), systemTime, log);
}

void VisForm::showEvent(QShowEvent* e)
{
    FormWindow::showEvent(e);
    if (!e->spontaneous()) announceViewOpened(viewNumber_);   // not a restore from minimised
}
