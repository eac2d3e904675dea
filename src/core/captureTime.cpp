#include "captureTime.h"

#include <cstdio>
#include <ctime>

std::string epochSecondsText(CaptureTime t)
{
    if (t == kNoTime) return {};
    // Before 1970 the digits are those of the distance back: -1.5 s, not -2 + 0.5.
    const int64_t distance = t < 0 ? -t : t;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%09lld", t < 0 ? "-" : "", (long long)(distance / kNsPerSecond),
                  (long long)(distance % kNsPerSecond));
    return text;
}

std::string localTimeText(CaptureTime t)
{
    if (t == kNoTime) return {};
    const time_t seconds = time_t(secondsOf(t));
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return epochSecondsText(t);
    char date[48];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
    char text[96];
    std::snprintf(text, sizeof text, "%s.%06lld", date, (long long)(nanosecondsOf(t) / 1000));
    return text;
}

std::string spanText(int64_t ns)
{
    const int64_t us = ns / 1000;
    const int64_t whole = us / 1'000'000, part = us % 1'000'000;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%06lld s", ns < 0 ? "-" : "", (long long)(whole < 0 ? -whole : whole),
                  (long long)(part < 0 ? -part : part));
    return text;
}
