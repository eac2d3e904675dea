// nivora-cli info [--window A-B] [--filter EXPR] FILE: what FILE holds and
// what loading it (or the window) would store, read in one pass without
// filling the store. With a filter expression, the figures of the frames held
// are those of the frames it matches.
#include <algorithm>
#include <cstdio>
#include <map>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/captureTime.h"
#include "core/frameStream.h"
#include "core/modProcess.h"
#include "core/modLookUp.h"

namespace {
constexpr const char* kUsage = "info [--window A-B] [--filter EXPR] FILE";
const OptionTable kOptions = {
    {"--window A-B", "describe frames A to B of FILE (at most " + std::to_string(kSlotCount) + ") instead of the first " + std::to_string(kSlotCount)},
    {"--filter EXPR", "count and describe only the frames the libpcap filter expression EXPR matches"},
};

int runInfo(const CliArgs& given)
{
    CliArgs args = given;
    std::optional<FrameWindow> asked;
    if (const int status = takeWindowOption(args, asked, kUsage, kSlotCount)) return status;
    FilterExpression filter;
    if (const int status = takeFilterOption(args, filter, kUsage)) return status;
    if (args.size() != 1) return usageError(kUsage);
    const std::string& path = args[0];
    if (const int status = checkInputName(path)) return status;
    LoadReport report;
    const auto stream = openFrameStream(path, report);
    if (!stream) {
        printError(report.message);
        return 1;
    }

    // What the store would hold: the window asked for, or the first 30000 frames.
    const FrameWindow held = asked.value_or(FrameWindow{1, kSlotCount});
    std::map<int, int64_t> byProtocol;
    std::map<int, int64_t> byEthertype;
    int64_t frames = 0, frameBytes = 0, matching = 0;
    CaptureTime firstTime = kNoTime, lastTime = kNoTime;   // of the first and last timed frames held
    stream->read(report, stream->start(), [&](const StreamFrame& f) {
        const int64_t number = ++frames;
        if (number < held.first || number > held.last || !frameMatches(filter, f.frame)) return true;
        ++matching;
        const FrameHeaders h = decodeFrame(f.frame.data, int(std::min(f.frame.size, size_t(kSlotBytes))));
        frameBytes += h.packetLength + 1;
        if (const CaptureTime t = f.frame.stamp ? f.frame.stamp->time : kNoTime; t != kNoTime) {
            if (firstTime == kNoTime) firstTime = t;
            lastTime = t;
        }
        const int ethertype = h.etherType[0] << 8 | h.etherType[1];
        if (ethertype == 0x0800) ++byProtocol[h.ipProtocol];
        else ++byEthertype[ethertype];
        return true;
    });
    if (asked && checkWindowReached(*asked, frames, path) != 0) return 1;
    const FrameWindow window = asked.value_or(windowAt(1, frames, kSlotCount));
    if (!asked && frames > kSlotCount)
        printError("packets in " + quotedPath(path) + " exceeded buffer; only the first " + std::to_string(kSlotCount)
                   + " packets are used (choose others with --window A-B)");
    printNotes(report, path);

    const bool capture = sniffFileKind(path) == FileKind::Capture;
    std::printf("file:              %s\n", path.c_str());
    std::printf("format:            %s\n", capture ? "pcap/pcapng capture" : "nivora dataset");
    std::printf("bytes:             %lld\n", (long long)report.fileSize);
    std::printf("frames:            %lld\n", (long long)frames);
    if (frames > 0) std::printf("window:            %s\n", describeWindow(window, frames).c_str());
    std::printf("records found:     %lld\n", (long long)report.recordsFound);
    std::printf("packets stored:    %lld\n", (long long)(frames > 0 ? window.size() : 0));
    if (!filter.empty()) {
        std::printf("filter:            %s\n", filter.text().c_str());
        std::printf("matching:          %lld\n", (long long)matching);
    }
    std::printf("frame bytes:       %lld\n", (long long)frameBytes);
    if (firstTime == kNoTime) {
        std::printf("capture times:     none\n");
    } else {
        std::printf("first time:        %s (%s)\n", localTimeText(firstTime).c_str(), epochSecondsText(firstTime).c_str());
        std::printf("last time:         %s (%s)\n", localTimeText(lastTime).c_str(), epochSecondsText(lastTime).c_str());
        std::printf("duration:          %s\n", spanText(lastTime - firstTime).c_str());
    }
    std::printf("IPv4 packets by protocol:\n");
    for (const auto& [protocol, count] : byProtocol)
        std::printf("  %3d  %-16s %lld\n", protocol, std::string(protocolName(protocol)).c_str(), (long long)count);
    if (!byEthertype.empty()) {
        std::printf("other frames by Ethertype:\n");
        for (const auto& [type, count] : byEthertype) std::printf("  0x%04X  %lld\n", unsigned(type), (long long)count);
    }
    return finalStatus(report);
}

const bool registered = registerCliCommand(
    {"info", kUsage, "records, frames, the window a load holds, bytes, capture times and IP protocols of FILE", runInfo, kOptions});
}
