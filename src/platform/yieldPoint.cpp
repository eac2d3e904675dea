#include "yieldPoint.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {
constexpr qint64 kSliceNs = 4'000'000;   // 4 ms between event-loop passes

QElapsedTimer& sliceClock()
{
    static QElapsedTimer timer = [] { QElapsedTimer t; t.start(); return t; }();
    return timer;
}
}

void yieldNow()
{
    sliceClock().restart();
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void yieldPoint()
{
    if (sliceClock().nsecsElapsed() >= kSliceNs) yieldNow();
}
