#include "renderOutput.h"

#include <QDir>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "app/frmMain.h"
#include "core/regularFile.h"
#include "platform/PictureSurface.h"
#include "vis/viewRegistry.h"

QString renderFileName(const char* suffix, const QString& format)
{
    QString name = QString(suffix).mid(1);
    return name.left(name.lastIndexOf('.') + 1) + format;
}

namespace {

QString writePicture(const PictureSurface& picture, const QString& path, const QString& format)
{
    if (isSpecialFile(path.toStdString())) return "not a regular file";
    QString reason;
    if (format == "bmp") return picture.saveBmp(path, &reason) ? QString() : reason;
    QImageWriter writer(path, "png");
    return writer.write(picture.image()) ? QString() : writer.errorString();
}
}

QString writeRenderOutput(const QString& dir, const QString& format, const QString& source, const RenderedRange& range)
{
    if (!QDir().mkpath(dir)) return QString("cannot make the folder '%1'").arg(dir);
    QJsonArray files;
    const auto add = [&](const PictureSurface& picture, const QString& name, const QString& window) {
        const QString path = QDir(dir).filePath(name);
        if (const QString why = writePicture(picture, path, format); !why.isEmpty())
            return QString("cannot write '%1': %2").arg(path, why);
        files.append(QJsonObject{{"file", name},
                                 {"window", window},
                                 {"width", picture.scaleWidth()},
                                 {"height", picture.scaleHeight()},
                                 {"packets", qint64(range.drawn)}});
        return QString();
    };
    for (const ViewRow& row : viewRows()) {
        const std::vector<const PictureSurface*> pictures = viewWindow(row).screenshotPictures();
        for (size_t i = 0; i < pictures.size() && i < row.screenshotSuffixes.size(); ++i)
            if (QString why = add(*pictures[i], renderFileName(row.screenshotSuffixes[i], format), row.objectName);
                !why.isEmpty())
                return why;
        if (row.thumbIndex != 0)
            if (QString why = add(*thumbnailTarget(row.thumbIndex).picture,
                                  QString("thumb%1.%2").arg(row.thumbIndex).arg(format), "frmMain");
                !why.isEmpty())
                return why;
    }
    // The main window as it looks, thumbnails and captions included.
    const QString mainName = "mainwindow." + format;
    const QImage main = frmMain()->grab().toImage();
    if (isSpecialFile(QDir(dir).filePath(mainName).toStdString()) || !main.save(QDir(dir).filePath(mainName), format.toLatin1().constData()))
        return QString("cannot write '%1'").arg(QDir(dir).filePath(mainName));
    files.append(QJsonObject{{"file", mainName}, {"window", "frmMain"}, {"width", main.width()},
                             {"height", main.height()}, {"packets", qint64(range.drawn)}});

    const QJsonObject manifest{{"source", source},
                               {"first", qint64(range.first)},
                               {"last", qint64(range.last)},
                               {"packets", qint64(range.drawn)},
                               {"files", files}};
    QSaveFile out(QDir(dir).filePath("manifest.json"));
    if (isSpecialFile(out.fileName().toStdString()))
        return QString("cannot write '%1': not a regular file").arg(out.fileName());
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(manifest).toJson()) < 0 || !out.commit())
        return QString("cannot write '%1': %2").arg(out.fileName(), out.errorString());
    return {};
}
