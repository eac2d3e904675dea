#include "screenshotFiles.h"

#include <QCoreApplication>
#include <QDir>

#include "platform/PictureSurface.h"
#include "vis/viewRegistry.h"

namespace {
QString& folderOverride()
{
    static QString folder;
    return folder;
}

QString pathIn(const QString& folder, const QString& systemTime, const QString& suffix)
{
    return QDir::cleanPath(folder) + QDir::separator() + systemTime + suffix;
}
}

QString programFolder()
{
    return folderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride();
}

void setProgramFolder(const QString& folder) { folderOverride() = folder; }

QString screenshotTimeStamp(const QDateTime& when) { return when.toString("yyyyMMdd_HHmmss"); }

QString screenshotPath(const QString& systemTime, const QString& suffix)
{
    return pathIn(programFolder(), systemTime, suffix);
}

void writeScreenshot(const PictureSurface& picture, const QString& systemTime, const QString& suffix,
                     ScreenshotLog& log)
{
    const QString path = pathIn(log.folder, systemTime, suffix);
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
