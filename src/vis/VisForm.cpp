#include "VisForm.h"

#include "platform/PictureSurface.h"
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

void VisForm::unload()
{
    // A closed window is deleted only when the event loop it was closed from
    // runs again, which a long load or range holds off: its pictures give
    // their memory back now (a closing view is never drawn again).
    for (PictureSurface* picture : findChildren<PictureSurface*>()) {
        picture->resize(1, 1);
        picture->image();   // the image follows the size at once, hidden or not
    }
}
