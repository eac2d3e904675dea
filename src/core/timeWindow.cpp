#include "timeWindow.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "frameWindow.h"

namespace {
// Digits of a fraction of a second, as nanoseconds: ".5" is 500000000.
bool fractionOf(const std::string& digits, int64_t& ns)
{
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    ns = 0;
    for (size_t k = 0; k < 9; ++k) ns = ns * 10 + (k < digits.size() ? digits[k] - '0' : 0);
    return true;
}

// "SECONDS[.FRACTION]" since 1970.
bool parseEpoch(const std::string& text, CaptureTime& time)
{
    const size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    int64_t ns = 0;
    if (whole.empty() || whole.size() > 11 || whole.find_first_not_of("0123456789") != std::string::npos) return false;
    if (dot != std::string::npos && !fractionOf(text.substr(dot + 1), ns)) return false;
    time = std::stoll(whole) * kNsPerSecond + ns;
    return true;
}

// "YYYY-MM-DD HH:MM[:SS[.FRACTION]]", local time.
bool parseLocal(const std::string& text, CaptureTime& time)
{
    std::tm local{};
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%n", &local.tm_year, &local.tm_mon, &local.tm_mday,
                    &local.tm_hour, &local.tm_min, &used) != 5)
        return false;
    std::string rest = text.substr(size_t(used));
    int64_t ns = 0;
    if (!rest.empty()) {
        int usedSeconds = 0;
        if (rest[0] != ':' || std::sscanf(rest.c_str(), ":%2d%n", &local.tm_sec, &usedSeconds) != 1) return false;
        rest = rest.substr(size_t(usedSeconds));
        if (!rest.empty() && (rest[0] != '.' || !fractionOf(rest.substr(1), ns))) return false;
    }
    if (local.tm_mon < 1 || local.tm_mon > 12 || local.tm_mday < 1 || local.tm_mday > 31 || local.tm_hour > 23 ||
        local.tm_min > 59 || local.tm_sec > 60)
        return false;
    const std::tm asked = local;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;   // the zone's rule for that date
    const time_t seconds = std::mktime(&local);
    // mktime moves a day that does not exist (February 30) into the next month.
    if (seconds == time_t(-1) || local.tm_mday != asked.tm_mday || local.tm_mon != asked.tm_mon - 1) return false;
    time = int64_t(seconds) * kNsPerSecond + ns;
    return true;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
}

bool parseCaptureTime(const std::string& given, CaptureTime& time)
{
    const std::string text = trimmed(given);
    return parseEpoch(text, time) || parseLocal(text, time);
}

std::string timeSearchProblem(const FrameIndex& index)
{
    if (index.frames == 0) return quotedPath(index.path) + " holds no frames";
    if (index.timedFrames == 0)
        return quotedPath(index.path) + " keeps no capture times (a dataset): choose the window by its first frame number";
    if (!index.timesKnown())
        return quotedPath(index.path) + " keeps no capture time for some of its frames: choose the window by its first frame number";
    return {};
}

int64_t firstFrameAtOrAfter(const FrameIndex& index, CaptureTime time, LoadReport& report)
{
    if (index.frames == 0 || index.points.empty()) return 0;
    // The last point before which every frame is earlier than `time`; the answer lies within a stride of it.
    const auto after = std::partition_point(index.latestBefore.begin(), index.latestBefore.end(),
                                            [&](CaptureTime latest) { return latest < time; });
    const int64_t point = std::max<int64_t>(0, int64_t(after - index.latestBefore.begin()) - 1);
    const FrameWindow rest{point * index.stride + 1, index.frames};
    WindowSource source(rest, &index);
    LoadObserver quiet;
    if (!source.open(index.path, report, quiet)) return 0;
    int64_t number = rest.first - 1, found = 0;
    source.forEachFrame(report, [&](const SourceFrame& f) {
        ++number;
        if (f.stamp && f.stamp->time >= time) found = number;
        return found == 0;
    });
    return report.ok() ? found : 0;
}
