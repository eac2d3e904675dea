#include "renderAnimation.h"

#include <malloc.h>

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <functional>
#include <vector>

#include "app/frmMain.h"
#include "platform/PictureSurface.h"
#include "platform/webpAnimation.h"
#include "playback/modVisualize.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"

namespace {
struct Recorded {
    QString name;
    std::function<QImage()> picture;
    std::unique_ptr<WebpAnimation> animation;
};

std::vector<Recorded> recordedPictures(int fps)
{
    std::vector<Recorded> all;
    const auto add = [&](const QString& name, std::function<QImage()> picture) {
        const QSize size = picture().size();
        all.push_back({name, std::move(picture), std::make_unique<WebpAnimation>(size, fps)});
    };
    for (const ViewRow& row : viewRows()) {
        const std::vector<const PictureSurface*> pictures = viewWindow(row).screenshotPictures();
        for (size_t i = 0; i < pictures.size() && i < row.screenshotSuffixes.size(); ++i)
            add(renderFileName(row.screenshotSuffixes[i], "webp"), [p = pictures[i]] { return p->image(); });
    }
    add("mainwindow.webp", [] { return frmMain()->grab().toImage(); });
    return all;
}
}

int64_t animationStep(int64_t packets, int64_t most) { return std::max<int64_t>(1, (packets + most - 1) / most); }

QString renderAnimations(const QString& dir, const RenderedRange& range, int64_t every, int fps)
{
    if (!QDir().mkpath(dir)) return QString("cannot make the folder '%1'").arg(dir);
    // The encoder takes and frees picture-sized buffers for every frame:
    // kept in the heap rather than mapped and unmapped each time, they cost
    // no page faults (a sixth of the time otherwise).
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    std::vector<Recorded> recorded = recordedPictures(fps);
    // An empty range still makes one frame: the empty pictures the stills show.
    int64_t first = range.first;
    do {
        if (first <= range.last) displayPackets(first, std::min(range.last, first + every - 1));
        frmVis7()->flush();
        QCoreApplication::processEvents();
        for (Recorded& r : recorded) r.animation->add(r.picture());
        first += every;
    } while (first <= range.last);
    for (Recorded& r : recorded) {
        const QString path = QDir(dir).filePath(r.name);
        if (const QString why = r.animation->write(path); !why.isEmpty()) return QString("cannot write '%1': %2").arg(path, why);
    }
    return {};
}
