// nivora-cli info [--window W] [--filter EXPR] [--histogram N] FILE: what FILE
// holds and what loading it (or the window) would store, read in one pass
// without filling the store. With a filter expression, the figures of the
// frames held are those of the frames it matches, and the whole file's
// matches are counted, with the first and last; --histogram counts them in N
// equal stretches of time.
#include <algorithm>
#include <cstdio>
#include <map>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/captureTime.h"
#include "core/fileFind.h"
#include "core/frameStream.h"
#include "core/modProcess.h"
#include "core/modLookUp.h"

namespace {
constexpr const char* kUsage = "info [--window A-B|@TIME-@TIME|@TIME+COUNT] [--filter EXPR] [--histogram N] FILE";
constexpr int64_t kMostStretches = 100000;
const OptionTable kOptions = {
    {"--window A-B|@TIME-@TIME|@TIME+COUNT", "describe frames A to B of FILE (at most " + std::to_string(kSlotCount) + ") instead of the first " + std::to_string(kSlotCount) + "; " + std::string(kWindowByTimeHelp)},
    {"--filter EXPR", "count and describe only the frames the libpcap filter expression EXPR matches; count its matches across the whole file, with the first and the last"},
    {"--histogram N", "count the matching frames (all, without --filter) in N equal stretches of time, from the first frame's time to the latest"},
};

// What the store would hold of the frames read: the matching frames of the window.
class HeldFigures final : public FindObserver {
public:
    explicit HeldFigures(const FrameWindow& held) : held_(held) {}
    void frameRead(int64_t number, const SourceFrame& frame, bool matched) override
    {
        if (number < held_.first || number > held_.last || !matched) return;
        ++matching;
        replaced.count(frame.linkType);
        const FrameHeaders h = decodeFrame(frame.data, int(std::min(frame.size, size_t(kSlotBytes))));
        frameBytes += h.packetLength + 1;
        commented += frame.comments != nullptr;
        if (const CaptureTime t = frame.stamp ? frame.stamp->time : kNoTime; t != kNoTime) {
            if (firstTime == kNoTime) firstTime = t;
            lastTime = t;
        }
        const int ethertype = h.etherType[0] << 8 | h.etherType[1];
        if (ethertype == 0x0800) ++byProtocol[h.ipProtocol];
        else ++byEthertype[ethertype];
    }

    std::map<int, int64_t> byProtocol, byEthertype;
    int64_t frameBytes = 0, matching = 0, commented = 0;
    CaptureTime firstTime = kNoTime, lastTime = kNoTime;   // of the first and last timed frames held
    ReplacedHeaders replaced;

private:
    FrameWindow held_;
};

// Takes "--histogram N" out of args: 0, or the usage status after saying why.
int takeHistogramOption(CliArgs& args, int64_t& stretches)
{
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] != "--histogram") continue;
        const std::string value = k + 1 < args.size() ? args[k + 1] : std::string();
        if (value.empty() || value.size() > 6 || value.find_first_not_of("0123456789") != std::string::npos ||
            (stretches = std::stoll(value)) < 1 || stretches > kMostStretches) {
            printError("--histogram needs the number of stretches of time, 1 to " + std::to_string(kMostStretches));
            return usageError(kUsage);
        }
        args.erase(args.begin() + long(k), args.begin() + long(k) + 2);
        return 0;
    }
    return 0;
}

// The first and the latest capture time in the file, read in a pass of its own.
bool timeSpan(const std::string& path, CaptureTime& first, CaptureTime& latest)
{
    LoadReport report;
    const auto stream = openFrameStream(path, report);
    if (!stream) return false;
    stream->read(report, stream->start(), [&](const StreamFrame& f) {
        if (const CaptureTime t = f.frame.stamp ? f.frame.stamp->time : kNoTime; t != kNoTime) {
            if (first == kNoTime) first = t;
            latest = std::max(latest, t);
        }
        return true;
    });
    return first != kNoTime;
}

void printFrameAndTime(const char* label, int64_t frame, CaptureTime t)
{
    if (t == kNoTime) std::printf("%-19sframe %lld\n", label, (long long)frame);
    else std::printf("%-19sframe %lld at %s (%s)\n", label, (long long)frame, localTimeText(t).c_str(), epochSecondsText(t).c_str());
}

int runInfo(const CliArgs& given)
{
    CliArgs args = given;
    WindowOption asked;
    if (const int status = takeWindowOption(args, asked, kUsage, kSlotCount)) return status;
    FilterExpression filter;
    if (const int status = takeFilterOption(args, filter, kUsage)) return status;
    int64_t stretches = 0;
    if (const int status = takeHistogramOption(args, stretches)) return status;
    if (args.size() != 1) return usageError(kUsage);
    const std::string& path = args[0];
    if (const int status = checkInputName(path)) return status;
    if (const int status = findWindowByTime(asked, path, kSlotCount)) return status;

    BinnedCounts byTime;
    if (stretches > 0) {
        CaptureTime first = kNoTime, latest = kNoTime;
        if (!timeSpan(path, first, latest)) {
            LoadReport report;
            if (!openFrameStream(path, report)) printError(report.message);
            else printError(quotedPath(path) + " keeps no capture times (a dataset): --histogram counts along them");
            return 1;
        }
        byTime = equalStretches(first, latest, stretches);
    }

    // What the store would hold: the window asked for, or the first 30000 frames.
    const FrameWindow held = asked.frames.value_or(FrameWindow{1, kSlotCount});
    HeldFigures figures(held);
    const FileMatches found = findInFile(path, filter, BinnedCounts{}, byTime, figures);
    const LoadReport& report = found.report;
    if (!report.ok()) {
        printError(report.message);
        return 1;
    }
    const int64_t frames = found.frames;
    if (asked.frames && checkWindowReached(*asked.frames, frames, path) != 0) return 1;
    const FrameWindow window = asked.frames.value_or(windowAt(1, frames, kSlotCount));
    if (!asked.frames && frames > kSlotCount)
        printError("packets in " + quotedPath(path) + " exceeded buffer; only the first " + std::to_string(kSlotCount)
                   + " packets are used (choose others with --window A-B)");
    printNotes(report, path);

    const bool capture = sniffFileKind(path) == FileKind::Capture;
    std::printf("file:              %s\n", path.c_str());
    std::printf("format:            %s%s\n", capture ? "pcap/pcapng capture" : "nivora dataset",
                isCompressedFile(path) ? ", gzip-compressed" : "");
    std::printf("bytes:             %lld\n", (long long)report.fileSize);
    std::printf("frames:            %lld\n", (long long)frames);
    if (!figures.replaced.frames.empty()) std::printf("link headers:      %s\n", figures.replaced.text().c_str());
    if (frames > 0) std::printf("window:            %s\n", describeWindow(window, frames).c_str());
    std::printf("records found:     %lld\n", (long long)report.recordsFound);
    std::printf("packets stored:    %lld\n", (long long)(frames > 0 ? window.size() : 0));
    if (!filter.empty()) {
        std::printf("filter:            %s\n", filter.text().c_str());
        std::printf("matching:          %lld\n", (long long)figures.matching);
        std::printf("matching in file:  %lld\n", (long long)found.count);
        if (found.count > 0) {
            printFrameAndTime("first match:", found.firstFrame, found.firstTime);
            printFrameAndTime("last match:", found.lastFrame, found.lastTime);
        }
    }
    std::printf("frame bytes:       %lld\n", (long long)figures.frameBytes);
    std::printf("commented frames:  %lld\n", (long long)figures.commented);
    if (figures.firstTime == kNoTime) {
        std::printf("capture times:     none\n");
    } else {
        std::printf("first time:        %s (%s)\n", localTimeText(figures.firstTime).c_str(), epochSecondsText(figures.firstTime).c_str());
        std::printf("last time:         %s (%s)\n", localTimeText(figures.lastTime).c_str(), epochSecondsText(figures.lastTime).c_str());
        std::printf("duration:          %s\n", spanText(figures.lastTime - figures.firstTime).c_str());
    }
    std::printf("IPv4 packets by protocol:\n");
    for (const auto& [protocol, count] : figures.byProtocol)
        std::printf("  %3d  %-16s %lld\n", protocol, std::string(protocolName(protocol)).c_str(), (long long)count);
    if (!figures.byEthertype.empty()) {
        std::printf("other frames by Ethertype:\n");
        for (const auto& [type, count] : figures.byEthertype) std::printf("  0x%04X  %lld\n", unsigned(type), (long long)count);
    }
    if (stretches > 0) {
        // One line a stretch: where it begins, and how many matching frames it holds.
        std::printf("matching by time (%lld stretches of %s):\n", (long long)stretches, spanText(byTime.width).c_str());
        for (size_t k = 0; k < found.byTime.counts.size(); ++k) {
            const CaptureTime from = byTime.origin + int64_t(k) * byTime.width;
            std::printf("  %s (%s)  %lld\n", localTimeText(from).c_str(), epochSecondsText(from).c_str(),
                        (long long)found.byTime.counts[k]);
        }
    }
    return finalStatus(report);
}

const bool registered = registerCliCommand(
    {"info", kUsage, "records, frames, the window a load holds, bytes, capture times and IP protocols of FILE; with EXPR its matches across the whole file", runInfo, kOptions});
}
