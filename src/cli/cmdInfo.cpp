// nivora-cli info FILE: what loading FILE finds and stores.
#include <cstdio>
#include <map>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/accessors.h"
#include "core/frameSource.h"
#include "core/modLookUp.h"

namespace {
constexpr const char* kUsage = "info FILE";

int runInfo(const CliArgs& args)
{
    if (args.size() != 1) return usageError(kUsage);
    if (const int status = checkInputName(args[0])) return status;
    LoadReport report;
    if (!loadIntoFreshStore(args[0], report)) return 1;

    std::map<int, int64_t> byProtocol;
    std::map<int, int64_t> byEthertype;
    int64_t frameBytes = 0;
    CaptureTime firstTime = kNoTime, lastTime = kNoTime;   // of the first and last timed packets
    for (int64_t n = firstHeldPacket(); n <= getPacketCount(); ++n) {
        frameBytes += getPacketLength(n) + 1;
        if (const CaptureTime t = getCaptureTime(n); t != kNoTime) {
            if (firstTime == kNoTime) firstTime = t;
            lastTime = t;
        }
        if (getEthertype(n) == 0x0800) ++byProtocol[getIPProtocol(n)];
        else ++byEthertype[getEthertype(n)];
    }

    const bool capture = sniffFileKind(args[0]) == FileKind::Capture;
    std::printf("file:              %s\n", args[0].c_str());
    std::printf("format:            %s\n", capture ? "pcap/pcapng capture" : "nivora dataset");
    std::printf("bytes:             %lld\n", (long long)report.fileSize);
    std::printf("records found:     %lld\n", (long long)report.recordsFound);
    std::printf("packets stored:    %lld\n", (long long)report.packetsStored);
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

const bool registered = registerCliCommand({"info", kUsage, "records, packets, bytes, capture times and IP protocols of FILE", runInfo});
}
