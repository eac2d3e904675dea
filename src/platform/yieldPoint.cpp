#include "yieldPoint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <utility>

namespace {
constexpr qint64 kSliceNs = 4'000'000;   // 4 ms between event-loop passes

QElapsedTimer& sliceClock()
{
    static QElapsedTimer timer = [] { QElapsedTimer t; t.start(); return t; }();
    return timer;
}

int yieldDepth = 0;   // yields running, one inside another

QList<QPointer<QObject>>& waitingDeletion()
{
    static QList<QPointer<QObject>> objects;
    return objects;
}
}

void yieldNow()
{
    sliceClock().restart();
    if (!QCoreApplication::instance()) return;
    ++yieldDepth;
    QCoreApplication::processEvents();
    if (--yieldDepth > 0) return;
    // Back in the work itself: Qt deletes what is asked now only when the
    // handler that runs the work has returned to the event loop.
    for (const QPointer<QObject>& object : std::exchange(waitingDeletion(), {}))
        if (object) object->deleteLater();
}

void yieldPoint()
{
    if (sliceClock().nsecsElapsed() >= kSliceNs) yieldNow();
}

void deleteWhenWorkEnds(QObject* object)
{
    if (yieldDepth > 0) waitingDeletion().append(object);
    else object->deleteLater();
}
