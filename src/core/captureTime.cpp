#include "captureTime.h"

#include <cstdio>
#include <cstdlib>
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
    // The date and time of day are made once per second (and time zone):
    // the player shows a time for each packet it plays or stores.
    thread_local int64_t cachedSeconds = 0;
    thread_local std::string cachedZone, cachedDate;
    const char* zone = std::getenv("TZ");
    const int64_t seconds = secondsOf(t);
    if (cachedDate.empty() || seconds != cachedSeconds || cachedZone != (zone ? zone : "")) {
        const time_t asTime = time_t(seconds);
        std::tm local{};
        if (!localtime_r(&asTime, &local)) return epochSecondsText(t);
        char date[48];
        std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
        cachedSeconds = seconds;
        cachedZone = zone ? zone : "";
        cachedDate = date;
    }
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%06d", int(nanosecondsOf(t) / 1000));
    return cachedDate + fraction;
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
