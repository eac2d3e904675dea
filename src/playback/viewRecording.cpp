#include "viewRecording.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "playback/modScreenShots.h"
#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

bool ViewRecording::start()
{
    caught_.clear();
    stamp_ = screenshotTimeStamp(QDateTime::currentDateTime());
    for (const ViewRow& row : viewRows()) {
        if (!viewWindow(row).isShown()) continue;
        const std::vector<const PictureSurface*> pictures = viewWindow(row).screenshotPictures();
        for (size_t i = 0; i < pictures.size() && i < row.screenshotSuffixes.size(); ++i) {
            QString suffix = row.screenshotSuffixes[i];
            suffix = suffix.left(suffix.lastIndexOf('.')) + ".webp";
            auto* picture = const_cast<PictureSurface*>(pictures[i]);   // watched for closing only
            caught_.push_back({picture, suffix, std::make_unique<WebpAnimation>(picture->image().size(), kFramesPerSecond)});
        }
    }
    catchFrame();   // how it looked when the recording began, kept even if its window closes at once
    return active();
}

void ViewRecording::catchFrame()
{
    for (Caught& c : caught_)
        if (c.picture) c.animation->add(c.picture->image());
}

QString ViewRecording::finish()
{
    catchFrame();   // how it looked when the recording ended
    QStringList written, failures;
    bool elsewhere = false;
    const QString folder = folderTakingFiles(elsewhere);
    // A recording ended within the same second as one before keeps that one's files.
    QString stamp = stamp_;
    const auto taken = [&] {
        return std::any_of(caught_.begin(), caught_.end(),
                           [&](const Caught& c) { return QFileInfo::exists(QDir(folder).filePath(stamp + c.suffix)); });
    };
    for (int k = 2; taken(); ++k) stamp = stamp_ + "-" + QString::number(k);
    for (Caught& c : caught_) {
        const QString path = QDir(folder).filePath(stamp + c.suffix);
        if (const QString why = c.animation->write(path); why.isEmpty()) written << path;
        else failures << QDir::toNativeSeparators(path) + ": " + why;
    }
    caught_.clear();
    QString line = QString("%1 animation(s) recorded in %2").arg(written.size()).arg(QDir::toNativeSeparators(folder));
    if (elsewhere) line = "The program's folder takes no files: " + line + " instead";
    if (!failures.isEmpty()) line += QString("; %1 could not be written (%2)").arg(failures.size()).arg(failures.join("; "));
    return line + ".";
}
