#pragma once
// Screenshot files: BMP files in the program's folder, named with a
// "yyyymmdd_hhnnss" time stamp and the view's suffix.
#include <QDateTime>
#include <QString>
#include <QStringList>

class PictureSurface;
class VisWindow;
struct ViewRow;

// The program's folder, where screenshots go while it takes files; tests
// name another (an empty name restores the program's own).
QString programFolder();
void setProgramFolder(const QString& folder);

// What one round of screenshots wrote, where, and what it could not write and why.
struct ScreenshotLog {
    QString folder = programFolder();
    QStringList written;
    QStringList failures;   // "file: reason"
};

QString screenshotTimeStamp(const QDateTime& when);
// The program's folder + the platform's separator + time stamp + suffix.
QString screenshotPath(const QString& systemTime, const QString& suffix);
// Writes one picture's screenshot into the log's folder, noting the file or the reason it failed.
void writeScreenshot(const PictureSurface& picture, const QString& systemTime, const QString& suffix,
                     ScreenshotLog& log);
// Writes each of the view's screenshot pictures under its suffix.
void writeScreenshots(const VisWindow& view, const ViewRow& row, const QString& systemTime, ScreenshotLog& log);
