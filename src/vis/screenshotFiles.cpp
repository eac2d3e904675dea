#include "screenshotFiles.h"

#include <QCoreApplication>
#include <QDir>

#include "platform/PictureSurface.h"
#include "vis/viewRegistry.h"

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

void writeScreenshots(const VisWindow& view, const ViewRow& row, const QString& systemTime, ScreenshotLog& log)
{
    const std::vector<const PictureSurface*> pictures = view.screenshotPictures();
    for (size_t i = 0; i < pictures.size() && i < row.screenshotSuffixes.size(); ++i)
        writeScreenshot(*pictures[i], systemTime, row.screenshotSuffixes[i], log);
}
