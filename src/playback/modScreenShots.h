#pragma once
// Screenshots of the shown views as BMP files in the program's folder, named
// with one "yyyymmdd_hhnnss" time stamp per call and the view's suffix.
#include <QDateTime>
#include <QString>

class PictureSurface;
struct ScreenshotLog;

QString screenshotTimeStamp(const QDateTime& when);
// The program's folder + the platform's separator + time stamp + suffix.
QString screenshotPath(const QString& systemTime, const QString& suffix);
// Writes one picture's screenshot, noting the file or the reason it failed.
void writeScreenshot(const PictureSurface& picture, const QString& systemTime, const QString& suffix,
                     ScreenshotLog& log);

// Screenshots of frmVis1..frmVis6, those shown only. Files that cannot be
// written are named, with the reason, in one message; the rest are still written.
void saveScreenshots();

// The (empty) "Save Screen Shots" window.
void showScreenshotDialog();
