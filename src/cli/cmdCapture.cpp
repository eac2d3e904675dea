// nivora-cli capture: live frames into the store without a window, and with
// -w into a dataset or pcap file as they arrive (so no 30000-frame limit).
#include <poll.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "captureOptions.h"
#include "cliCommand.h"
#include "cliSupport.h"
#include "core/datasetWriter.h"
#include "core/modLibrary.h"
#include "core/pcapAdapters.h"
#include "core/pcapSession.h"
#include "core/streamInput.h"

namespace {
constexpr const char* kUsage = "capture -i IFACE|-|PIPE [-f FILTER] [-c COUNT] [-w OUT]";
const OptionTable kOptions = {
    {"-i IFACE", "capture from IFACE, its name or its number in nivora-cli interfaces; with - (standard input) "
                 "or a named pipe's path, read a pcap or pcapng stream there until it ends"},
    {"-f FILTER", "keep only the frames FILTER (libpcap syntax, see pcap-filter(7)) passes"},
    {"-c COUNT", "stop after COUNT frames (default: at Ctrl-C, kill, a closed terminal or the stream's end)"},
    {"-w OUT", "also write every frame to OUT, a .nivora dataset or a .pcap capture, flushed at least once a second"},
};

// What the frames written so far may wait in memory before they reach the file.
constexpr auto kFlushInterval = std::chrono::seconds(1);

std::atomic<PcapSession*> running{nullptr};
volatile std::sig_atomic_t stopRequested = 0;

void stopOnSignal(int)
{
    stopRequested = 1;
    if (PcapSession* session = running.load()) session->breakLoop();
}

// Ctrl-C, kill and a closed terminal end the capture the same way: whatever
// was captured is still written and reported.
class StopOnSignals {
public:
    explicit StopOnSignals(PcapSession& session)
    {
        stopRequested = 0;
        running = &session;
        for (size_t k = 0; k < std::size(kSignals); ++k) previous_[k] = std::signal(kSignals[k], stopOnSignal);
    }
    ~StopOnSignals()
    {
        for (size_t k = 0; k < std::size(kSignals); ++k) std::signal(kSignals[k], previous_[k]);
        running = nullptr;
    }

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    void (*previous_[std::size(kSignals)])(int);
};

std::optional<int> positiveNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return {};
    const int value = std::atoi(text.c_str());
    if (value <= 0) return {};
    return value;
}

// Options in any order, each followed by its value; false after printing what is wrong.
bool parse(const CliArgs& args, CaptureOptions& options)
{
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (option != "-i" && option != "-f" && option != "-c" && option != "-w") {
            printError("unknown option '" + option + "'");
            return false;
        }
        if (i + 1 >= args.size()) {
            printError(option + " needs a value");
            return false;
        }
        const std::string& value = args[i + 1];
        if (option == "-i") options.adapter = value;
        else if (option == "-f") options.filter = value;
        else if (option == "-w") options.out = value;
        else if (const auto count = positiveNumber(value)) options.count = *count;
        else {
            printError("-c takes a whole number of frames from 1 up, not '" + value + "'");
            return false;
        }
    }
    if (options.adapter.empty()) printError("-i names the adapter (see nivora-cli interfaces)");
    return !options.adapter.empty();
}

// This program's own path, for the hint on granting capture rights.
std::string ownPath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("nivora-cli") : path.string();
}

// Hands frames to sink until `count` have come (0: no limit), a signal or a
// failure; -1 after a failure. Waits for frames 100 ms at most, so what the
// writer holds reaches its file within a second on a quiet adapter too.
int captureFrames(PcapSession& session, int count, const FrameSink& sink, int64_t& received, FrameWriter* writer)
{
    StopOnSignals stop(session);
    auto lastFlush = std::chrono::steady_clock::now();
    pollfd waiting{session.selectableFd(), POLLIN, 0};
    while (!stopRequested && (count == 0 || received < count)) {
        ::poll(&waiting, 1, 100);   // frames, a signal or 100 ms
        const int got = session.dispatch(count == 0 ? -1 : int(count - received), sink);
        if (got == -1) return -1;
        if (got == -2) break;
        const auto now = std::chrono::steady_clock::now();
        if (writer && now - lastFlush >= kFlushInterval) {
            if (!writer->flushInPlace()) break;   // finish() tells why
            lastFlush = now;
        }
    }
    return 0;
}

int runCapture(const CliArgs& args)
{
    CaptureOptions options;
    if (!parse(args, options)) return usageError(kUsage);
    if (options.out)
        if (const int status = checkOutputName(*options.out)) return status;
    if (namesStandardInput(options.adapter) || isNamedPipe(options.adapter)) return captureStream(options);
    const std::string adapter = adapterNamed(options.adapter, listPcapAdapters);

    CaptureFailure failure;
    std::unique_ptr<PcapSession> session = PcapSession::open(adapter, options.filter, CaptureMode::NonBlocking, failure);
    if (!session) {
        printError(describeCaptureFailure(failure, adapter, ownPath()));
        return failure.kind == CaptureFailure::Kind::BadFilter ? 2 : 1;
    }
    // The file is put in place before the first frame, so a place that cannot
    // be written is known before anything is captured, and the frames reach
    // it as they come.
    std::unique_ptr<FrameWriter> writer;
    if (options.out) {
        writer = std::make_unique<FrameWriter>(*options.out);
        if (!writer->open() || !writer->flushInPlace()) {
            printError(writer->finish().error);
            return 1;
        }
    }

    resetBuffer("startup");
    int64_t received = 0;
    bool writing = true;
    const FrameSink sink = [&](const uint8_t* data, int size) {
        ++received;
        addPacket(data, size - 1, session->frameStamp().time, session->frameStamp().wireLength);
        if (writer && writing) writing = writer->add(data, size_t(size), &session->frameStamp());
    };
    std::fprintf(stderr, "capturing on %s%s%s, Ctrl-C stops\n", adapter.c_str(),
                 options.filter.empty() ? "" : " with filter ", options.filter.c_str());
    const int ended = captureFrames(*session, options.count, sink, received, writer.get());

    int status = 0;
    if (ended == -1) {
        printError("the capture on " + adapter + " has stopped: " + session->lastError());
        status = 1;
    }
    std::printf("%lld frame(s) received, %llu dropped\n", (long long)received,
                (unsigned long long)session->kernelDrops());
    if (writer) {
        const SaveReport report = writer->finish();
        if (!report.ok) {
            printError(report.error);
            return 1;
        }
        std::printf("wrote %lld frame(s) to %s\n", (long long)report.written, options.out->c_str());
        if (reportLeftOut(report, *options.out) != 0) status = 1;
    }
    return status;
}

const bool registered = registerCliCommand(
    {"capture", kUsage,
     "store live frames until COUNT or Ctrl-C; -w writes them to .nivora, .pcap or .pcapng; "
     "-i - or -i PIPE reads a pcap or pcapng stream until it ends",
     runCapture, kOptions});
}
