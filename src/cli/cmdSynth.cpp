// nivora-cli synth [--count N] OUT: a sample recording to try the views with.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/datasetWriter.h"
#include "sampleTraffic.h"

namespace {
constexpr const char* kUsage = "synth [--count N] OUT";
constexpr int kDefaultCount = 4000;
constexpr int kMaxCount = 1000000;
const OptionTable kOptions = {
    {"--count N", "write N frames, from 1 to " + std::to_string(kMaxCount) + " (default " + std::to_string(kDefaultCount) + ")"},
};

int runSynth(const CliArgs& args)
{
    int count = kDefaultCount;
    std::optional<std::string> out;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--count" && i + 1 < args.size()) {
            char* end = nullptr;
            const long n = std::strtol(args[++i].c_str(), &end, 10);
            if (*end || n < 1 || n > kMaxCount) {
                printError("--count wants a number from 1 to " + std::to_string(kMaxCount) + ", not '" + args[i] + "'");
                return 2;
            }
            count = int(n);
        } else if (!args[i].empty() && args[i][0] == '-') {
            return usageError(kUsage);
        } else if (!out) {
            out = args[i];
        } else {
            return usageError(kUsage);
        }
    }
    if (!out) return usageError(kUsage);
    if (const int status = checkOutputName(*out)) return status;

    FrameWriter writer(*out);
    if (writer.open())
        for (const Frame& frame : makeSampleTraffic(count))
            if (!writer.add(frame.data(), frame.size())) break;
    const SaveReport report = writer.finish();
    if (!report.ok) {
        printError(report.error);
        return 1;
    }
    std::printf("wrote %lld sample frame(s) to %s\n", (long long)report.written, out->c_str());
    return 0;
}

const bool registered = registerCliCommand(
    {"synth", kUsage, "write a sample recording of mixed traffic (.nivora or .pcap)", runSynth, kOptions});
}
