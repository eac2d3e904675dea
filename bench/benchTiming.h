#pragma once
// The best of several timed runs: the one least disturbed by the rest of the machine.
#include <QElapsedTimer>
#include <algorithm>

template <class Work>
double bestSeconds(int times, Work&& work)
{
    double best = 1e30;
    for (int k = 0; k < times; ++k) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}
