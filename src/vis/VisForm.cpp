#include "VisForm.h"

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
