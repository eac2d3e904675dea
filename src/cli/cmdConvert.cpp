// nivora-cli convert IN OUT: a dataset to a pcap or pcapng capture or back,
// every frame or those of a window, all or those a filter expression matches.
#include <cstdio>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/fileConvert.h"

namespace {
constexpr const char* kUsage = "convert [--window A-B|@TIME-@TIME|@TIME+COUNT] [--filter EXPR] IN OUT";
const OptionTable kOptions = {
    {"--window A-B|@TIME-@TIME|@TIME+COUNT", "copy only frames A to B of IN, 1-based; " + std::string(kWindowByTimeHelp)},
    {"--filter EXPR", "copy only the frames the libpcap filter expression EXPR matches, as tcpdump does reading IN and writing OUT"},
};

int runConvert(const CliArgs& given)
{
    CliArgs args = given;
    WindowOption window;
    if (const int status = takeWindowOption(args, window, kUsage, 0)) return status;
    FilterExpression keep;
    if (const int status = takeFilterOption(args, keep, kUsage)) return status;
    if (args.size() != 2) return usageError(kUsage);
    if (const int status = checkInputName(args[0])) return status;
    if (const int status = checkOutputName(args[1])) return status;
    if (const int status = findWindowByTime(window, args[0], 0)) return status;
    const ConvertReport report = convertFile(args[0], args[1], window.frames, keep);
    if (!report.read.ok()) {
        printError(report.read.message);
        return 1;
    }
    printNotes(report.read, args[0]);
    if (!report.write.ok) {
        printError(report.write.error);
        return 1;
    }
    std::printf("wrote %lld frame(s) to %s\n", (long long)report.write.written, args[1].c_str());
    if (!report.replaced.frames.empty())
        std::printf("written as Ethernet frames: %s\n", report.replaced.text().c_str());
    if (reportLeftOut(report.write, args[1]) != 0) return 1;
    return finalStatus(report.read);
}

const bool registered = registerCliCommand(
    {"convert", kUsage, "copy every frame of IN, or a window of them, or those EXPR matches, into OUT (.nivora, .pcap or .pcapng)", runConvert, kOptions});
}
