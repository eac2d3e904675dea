#include "cliSupport.h"

#include <cstdio>
#include <limits>

#include "core/datasetWriter.h"
#include "core/fileLoader.h"
#include "core/frameWindow.h"
#include "core/frameSource.h"
#include "core/modLibrary.h"
#include "core/timeWindow.h"

void printError(const std::string& text) { std::fprintf(stderr, "nivora-cli: %s\n", text.c_str()); }

int usageError(const char* usage)
{
    std::fprintf(stderr, "usage: nivora-cli %s\n", usage);
    return 2;
}

int checkInputName(const std::string& name)
{
    if (!name.empty()) return 0;
    printError("the file name is empty");
    return 2;
}

int checkOutputName(const std::string& name)
{
    if (checkInputName(name) != 0) return 2;
    if (saveFormatOf(name) != SaveFormat::Unknown) return 0;
    printError("cannot write " + quotedPath(name)
               + ": the name must end in .nivora (dataset), .pcap or .pcapng (capture), or one of them with .gz after it (compressed)");
    return 2;
}

int reportLeftOut(const SaveReport& report, const std::string& out)
{
    if (!report.lostAnything()) return 0;
    printError(quotedPath(out) + ": " + describeLeftOut(report));
    return 1;
}

bool loadIntoFreshStore(const std::string& path, LoadReport& report, const std::optional<FrameWindow>& window)
{
    resetBuffer("startup");
    LoadObserver quiet;
    if (window) {
        WindowSource source(*window);
        report = loadFromSource(source, path, quiet);
        if (report.ok() && checkWindowReached(*window, source.framesSeen(), path) != 0) return false;
    } else {
        report = loadAnyFile(path, quiet);
    }
    if (!report.ok()) {
        printError(report.message);
        return false;
    }
    if (report.capped)
        printError("packets in " + quotedPath(path) + " exceeded buffer; only the first " + std::to_string(kSlotCount)
                   + " packets are used");
    printNotes(report, path);
    return true;
}

void printNotes(const LoadReport& report, const std::string& path)
{
    for (const std::string& note : loadNotes(report, path)) printError(note);
}

int finalStatus(const LoadReport& report) { return report.incomplete() ? 1 : 0; }

namespace {
// "A-B", two frame numbers; false when the text is not that.
bool parseFrameWindow(const std::string& text, FrameWindow& window)
{
    const size_t dash = text.find('-');
    const auto number = [](const std::string& digits, int64_t& into) {
        if (digits.empty() || digits.size() > 15 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
        into = std::stoll(digits);
        return true;
    };
    return dash != std::string::npos && number(text.substr(0, dash), window.first) && number(text.substr(dash + 1), window.last);
}

// "@TIME-@TIME" (count 0) or "@TIME+COUNT"; false when the text is neither.
bool parseTimeWindow(const std::string& value, WindowOption::Times& t)
{
    const size_t toTime = value.find("-@"), plus = value.rfind('+');
    if (toTime != std::string::npos)
        return parseCaptureTime(value.substr(1, toTime - 1), t.from) && parseCaptureTime(value.substr(toTime + 2), t.to);
    if (plus == std::string::npos) return false;
    const std::string digits = value.substr(plus + 1);
    return parseCaptureTime(value.substr(1, plus - 1), t.from) && !digits.empty() && digits.size() <= 15 &&
           digits.find_first_not_of("0123456789") == std::string::npos && (t.count = std::stoll(digits)) > 0;
}
}

std::string parseWindowOption(const std::string& value, WindowOption& window, int64_t widest)
{
    window = {};
    if (!value.empty() && value[0] == '@') {
        WindowOption::Times times;
        if (!parseTimeWindow(value, times))
            return "--window '" + value + "' is not @TIME-@TIME or @TIME+COUNT; a TIME is local, as in "
                   "2023-11-14 23:13:20.5, or seconds since 1970, as in 1700000000.5";
        window.byTime = times;
        return {};
    }
    FrameWindow w;
    if (!parseFrameWindow(value, w))
        return "--window needs the first and last frame numbers of the file, as in --window 600001-630000, "
               "or times, as in --window '@2023-11-14 23:13:20-@2023-11-14 23:14:00' or --window @1700000000+30000";
    // Known to be wrong before the file is read: a reversed window, frame 0, too wide for the store.
    if (std::string problem = windowProblem(w, w.last, widest, ""); !problem.empty()) return problem;
    window.frames = w;
    return {};
}

int takeWindowOption(CliArgs& args, WindowOption& window, const char* usage, int64_t widest)
{
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] != "--window") continue;
        const std::string value = k + 1 < args.size() ? args[k + 1] : std::string();
        if (const std::string problem = parseWindowOption(value, window, widest); !problem.empty()) {
            printError(problem);
            return usageError(usage);
        }
        args.erase(args.begin() + long(k), args.begin() + long(k) + 2);
        return 0;
    }
    return 0;
}

int findWindowByTime(WindowOption& window, const std::string& path, int64_t widest)
{
    if (!window.byTime) return 0;
    const auto [from, to, count] = *window.byTime;
    LoadObserver quiet;
    const FrameIndex index = indexFile(path, quiet);
    if (!index.ok()) {
        printError(index.report.message);
        return 1;
    }
    if (const std::string problem = timeSearchProblem(index); !problem.empty()) {
        printError(problem);
        return 1;
    }
    LoadReport report;
    const int64_t first = firstFrameAtOrAfter(index, from, report);
    if (!report.ok()) {
        printError(report.message);
        return 1;
    }
    if (first == 0) {
        printError("no frame of " + quotedPath(path) + " was captured at or after " + localTimeText(from));
        return 1;
    }
    FrameWindow w{first, first + count - 1};
    if (count == 0) {
        const int64_t later = to == std::numeric_limits<int64_t>::max() ? 0 : firstFrameAtOrAfter(index, to + 1, report);
        w.last = later == 0 ? index.frames : later - 1;
        if (w.last < w.first) {
            printError("no frame of " + quotedPath(path) + " was captured from " + localTimeText(from) + " to " +
                       localTimeText(to));
            return 1;
        }
    }
    if (const std::string problem = windowProblem(w, index.frames, widest, path); !problem.empty()) {
        printError(problem);
        return 1;
    }
    window.frames = w;
    window.byTime.reset();
    return 0;
}

int takeFilterOption(CliArgs& args, FilterExpression& filter, const char* usage)
{
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] != "--filter") continue;
        if (k + 1 == args.size()) {
            printError("--filter needs a libpcap filter expression, as in --filter 'tcp port 80'");
            return usageError(usage);
        }
        std::string error;
        const std::optional<FilterExpression> compiled = FilterExpression::compile(args[k + 1], error);
        if (!compiled) {
            printError("--filter '" + args[k + 1] + "': " + error);
            return usageError(usage);
        }
        filter = *compiled;
        args.erase(args.begin() + long(k), args.begin() + long(k) + 2);
        return 0;
    }
    return 0;
}

int checkWindowReached(const FrameWindow& window, int64_t frames, const std::string& path)
{
    if (window.last <= frames) return 0;
    printError(windowProblem(window, frames, 0, path));
    return 1;
}
