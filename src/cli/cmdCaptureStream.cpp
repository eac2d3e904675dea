// nivora-cli capture -i - | -i PIPE: a pcap or pcapng stream (tcpdump -w -,
// ssh ... tcpdump -U -w -) stored, and with -w written, frame by frame as it
// arrives, until it ends, COUNT frames are in, or Ctrl-C.
#include <poll.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include "captureOptions.h"
#include "cliSupport.h"
#include "core/datasetWriter.h"
#include "core/filterExpression.h"
#include "core/modLibrary.h"
#include "core/pcapSession.h"
#include "core/streamInput.h"
#include "core/streamReader.h"

namespace {
constexpr size_t kChunk = 256 << 10;   // one read; a pipe holds 64 KiB unless told otherwise
constexpr int kPollMs = 100;           // how soon a signal or a due flush is noticed
constexpr auto kFlushInterval = std::chrono::seconds(1);

volatile std::sig_atomic_t stopRequested = 0;
void stopOnSignal(int) { stopRequested = 1; }

// Ctrl-C, kill and a closed terminal end the capture: what came is written.
class StopOnSignals {
public:
    StopOnSignals()
    {
        stopRequested = 0;
        for (size_t k = 0; k < std::size(kSignals); ++k) previous_[k] = std::signal(kSignals[k], stopOnSignal);
    }
    ~StopOnSignals()
    {
        for (size_t k = 0; k < std::size(kSignals); ++k) std::signal(kSignals[k], previous_[k]);
    }

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    void (*previous_[std::size(kSignals)])(int);
};

// The frames of one stream into the store and the writer.
class StreamCapture {
public:
    explicit StreamCapture(const CaptureOptions& options) : options_(options) {}

    int run()
    {
        std::string error;
        std::optional<FilterExpression> compiled = FilterExpression::compile(options_.filter, error);
        if (!compiled) {
            printError(describeCaptureFailure({CaptureFailure::Kind::BadFilter, error}, options_.adapter, {}));
            return 2;
        }
        filter_ = std::move(*compiled);
        if (!input_.open(options_.adapter)) {
            printError(input_.why());
            return 1;
        }
        resetBuffer("startup");
        std::fprintf(stderr, "reading a capture stream from %s%s%s, Ctrl-C stops\n", input_.label().c_str(),
                     options_.filter.empty() ? "" : " with filter ", options_.filter.c_str());
        if (!namesStandardInput(options_.adapter)) std::fprintf(stderr, "waiting for data on %s\n", input_.label().c_str());
        const bool ended = readUntilDone();
        return finish(ended);
    }

private:
    // True when the stream ended (or failed), false when stopped by COUNT or a signal.
    bool readUntilDone()
    {
        StopOnSignals signals;
        std::unique_ptr<uint8_t[]> chunk(new uint8_t[kChunk]);
        pollfd waiting{input_.fd(), POLLIN, 0};
        auto lastFlush = std::chrono::steady_clock::now();
        while (!stopRequested && !countReached()) {
            // A pipe no writer has opened yet reads as ended: read only once it polls readable.
            const bool ready = ::poll(&waiting, 1, kPollMs) > 0;
            while (ready) {   // what is there now, then wait again
                size_t got = 0;
                const StreamInput::Read read = input_.read(chunk.get(), kChunk, got);
                if (read == StreamInput::Read::Nothing) break;
                if (read != StreamInput::Read::Bytes) {
                    reader_.end();
                    failure_ = read == StreamInput::Read::Failed ? input_.why() : reader_.error();
                    return true;
                }
                if (!reader_.feed(chunk.get(), got, [this](const StreamedFrame& f) { return take(f); })) {
                    failure_ = reader_.error();
                    return true;
                }
                if (countReached() || !writing_) return false;
            }
            const auto now = std::chrono::steady_clock::now();
            if (writer_ && now - lastFlush >= kFlushInterval) {
                if (!writer_->flushInPlace()) return false;   // finish() tells why
                lastFlush = now;
            }
        }
        return false;
    }

    bool countReached() const { return options_.count > 0 && kept_ >= options_.count; }

    bool take(const StreamedFrame& f)
    {
        if (!filter_.matches(f.data, f.size, f.stamp.wireLength)) return true;
        ++kept_;
        addPacket(f.data, int(f.size) - 1, f.stamp.time, f.stamp.wireLength);
        if (options_.out && openWriter()) writing_ = writer_->add(f.data, f.size, &f.stamp, f.comments);
        return writing_ && !countReached();
    }

    // The writer opens at the first frame (or the end), once the stream's
    // header says whether its times need nanoseconds.
    bool openWriter()
    {
        if (writer_) return writing_;
        writer_ = std::make_unique<FrameWriter>(*options_.out, reader_.mayHoldSubMicroseconds()
                                                                   ? TimeResolution::Nanoseconds
                                                                   : TimeResolution::Microseconds);
        writing_ = writer_->open() && writer_->flushInPlace();
        return writing_;
    }

    int finish(bool ended)
    {
        int status = 0;
        if (!failure_.empty()) {
            printError(failure_);
            status = 1;
        }
        if (ended && failure_.empty())
            for (const std::string& note : reader_.endNotes()) std::printf("%s\n", note.c_str());
        else
            std::printf("%lld frame(s) received\n", (long long)reader_.frames());
        if (!options_.filter.empty()) std::printf("%lld frame(s) passed the filter\n", (long long)kept_);
        if (ended && failure_.empty() && reader_.waitingBytes() > 0) status = 1;   // cut short
        if (!options_.out) return status;
        openWriter();
        const SaveReport report = writer_->finish();
        if (!report.ok) {
            printError(report.error);
            return 1;
        }
        std::printf("wrote %lld frame(s) to %s\n", (long long)report.written, options_.out->c_str());
        return reportLeftOut(report, *options_.out) != 0 ? 1 : status;
    }

    const CaptureOptions& options_;
    FilterExpression filter_;
    StreamInput input_;
    StreamReader reader_;
    std::unique_ptr<FrameWriter> writer_;
    bool writing_ = true;
    int64_t kept_ = 0;   // frames that passed the filter
    std::string failure_;
};
}

int captureStream(const CaptureOptions& options) { return StreamCapture(options).run(); }
