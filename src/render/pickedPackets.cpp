#include "pickedPackets.h"

#include <QStringList>
#include <cstdio>

#include "platform/PictureSurface.h"
#include "vis/viewRegistry.h"

namespace {
// "_combined_left.bmp" as "combined_left".
QString pictureName(const char* suffix)
{
    const QString s = QString(suffix).mid(1);
    return s.left(s.lastIndexOf('.'));
}

const PictureSurface& pictureOf(const PickedPicture& picked)
{
    return *viewWindow(viewRow(picked.view)).screenshotPictures()[size_t(picked.picture)];
}
}

QStringList pictureNames()
{
    QStringList names;
    for (const ViewRow& row : viewRows())
        for (const char* suffix : row.screenshotSuffixes) names << pictureName(suffix);
    return names;
}

std::optional<PickedPicture> pickedPicture(const QString& name, QString& error)
{
    for (const ViewRow& row : viewRows())
        for (size_t i = 0; i < row.screenshotSuffixes.size(); ++i)
            if (pictureName(row.screenshotSuffixes[i]) == name) return PickedPicture{row.number, int(i)};
    error = QString("unknown view '%1' (the views are %2)").arg(name, pictureNames().join(", "));
    return std::nullopt;
}

QString pointOutside(const PickedPicture& picked, QPoint at, const QString& name)
{
    const PictureSurface& picture = pictureOf(picked);
    if (at.x() >= 0 && at.y() >= 0 && at.x() < picture.scaleWidth() && at.y() < picture.scaleHeight()) return {};
    return QString("--at %1,%2 lies outside %3, which is %4 x %5 pixels")
        .arg(at.x()).arg(at.y()).arg(name).arg(picture.scaleWidth()).arg(picture.scaleHeight());
}

bool printPickedPackets(const PickedPicture& picked, QPoint at)
{
    const std::vector<int32_t> packets = viewWindow(viewRow(picked.view)).packetsAt(picked.picture, at.x(), at.y(), 0);
    for (int32_t p : packets) std::printf("%d\n", p);
    return !packets.empty();
}
