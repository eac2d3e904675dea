#include "datasetWriter.h"

#include <pcap/pcap.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "accessors.h"
#include "atomicFile.h"
#include "datasetFormat.h"
#include "frameSource.h"
#include "gzipWriter.h"
#include "packetComments.h"
#include "pcapngBlocks.h"

namespace {
bool endsWithNoCase(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - std::ptrdiff_t(suffix.size()),
                      [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); });
}

// libpcap's largest Ethernet snapshot: any frame read from a capture fits.
constexpr int kPcapSnapLen = 262144;
// A frame without a time comes this long after the frame before it.
constexpr int64_t kUntimedSpacingNs = 1'000'000;
}

bool compressedName(const std::string& path) { return endsWithNoCase(path, ".gz"); }

SaveFormat saveFormatOf(const std::string& path)
{
    const std::string name = compressedName(path) ? path.substr(0, path.size() - 3) : path;
    if (endsWithNoCase(name, ".nivora")) return SaveFormat::Dataset;
    if (endsWithNoCase(name, ".pcap")) return SaveFormat::Pcap;
    if (endsWithNoCase(name, ".pcapng")) return SaveFormat::Pcapng;
    return SaveFormat::Unknown;
}

std::string describeLeftOut(const SaveReport& report)
{
    std::string text;
    if (report.leftOut() > 0) {
        text = std::to_string(report.leftOut()) + " frame(s) were left out, because a nivora dataset cannot carry them:";
        if (report.leftOutTooLong > 0)
            text += " " + std::to_string(report.leftOutTooLong) + " longer than 1585 bytes;";
        if (report.leftOutTrailer > 0)
            text += " " + std::to_string(report.leftOutTrailer)
                    + " containing the record trailer text \"<NIVORA[CR][LF]>\", which would split them in two on reading;";
        text.back() = '.';
    }
    const auto add = [&](const std::string& sentence) { text += (text.empty() ? "" : " ") + sentence; };
    if (report.timesOutOfRange > 0)
        add(std::to_string(report.timesOutOfRange)
            + (report.format == SaveFormat::Pcapng ? " capture time(s) before 1970, which a pcapng file cannot hold,"
                                                   : " capture time(s) before 1970 or past 2106, which a pcap file cannot hold,")
            + " were written as one millisecond after the frame before.");
    if (report.commentsCut > 0)
        add(std::to_string(report.commentsCut) + " comment(s) longer than 65535 bytes were cut to fit a pcapng option.");
    if (report.commentsLeftOut > 0)
        add("The comments of " + std::to_string(report.commentsLeftOut)
            + " frame(s) were left out: only a .pcapng file keeps comments.");
    return text;
}

class FrameWriter::Impl {
public:
    Impl(const std::string& path, TimeResolution resolution) : path_(path), file_(path), resolution_(resolution)
    {
        report_.format = saveFormatOf(path);
    }
    ~Impl()
    {
        if (dumper_) pcap_dump_close(dumper_);
        if (dead_) pcap_close(dead_);
    }

    bool open()
    {
        if (report_.format == SaveFormat::Unknown) {
            file_.fail("the name must end in .nivora (dataset), .pcap or .pcapng (capture), or one of them with .gz after it (compressed)");
            return false;
        }
        if (!file_.open()) return false;
        if (compressedName(path_)) gzip_ = std::make_unique<GzipWriter>(file_);
        if (report_.format == SaveFormat::Dataset) {
            buffer_.reserve(kBufferSize + kMaxRecordBytes);
            buffer_.insert(buffer_.end(), kDatasetHeader.begin(), kDatasetHeader.end());
            return true;
        }
        if (report_.format == SaveFormat::Pcapng) {
            buffer_.reserve(kBufferSize + kPcapSnapLen);
            appendPcapngHead(buffer_, kPcapSnapLen);
            return true;
        }
        // libpcap writes through its own stream on a copy of the descriptor;
        // the AtomicFile keeps the original for syncing and renaming.
        dead_ = pcap_open_dead_with_tstamp_precision(DLT_EN10MB, kPcapSnapLen,
                                                     resolution_ == TimeResolution::Nanoseconds
                                                         ? PCAP_TSTAMP_PRECISION_NANO
                                                         : PCAP_TSTAMP_PRECISION_MICRO);
        const int copy = gzip_ ? -1 : ::dup(file_.fd());
        std::FILE* stream = gzip_ ? gzip_->openStream() : copy >= 0 ? ::fdopen(copy, "wb") : nullptr;
        if (!stream) {
            if (copy >= 0) ::close(copy);
            file_.fail("cannot start the capture writer");
            return false;
        }
        dumper_ = pcap_dump_fopen(dead_, stream);
        if (!dumper_) {
            std::fclose(stream);
            file_.fail(pcap_geterr(dead_));
            return false;
        }
        return true;
    }

    bool add(const uint8_t* frame, size_t size, const FrameStamp* stamp, const FrameComments* comments)
    {
        const bool commented = comments && !comments->empty();
        if (commented && report_.format != SaveFormat::Pcapng) ++report_.commentsLeftOut;
        if (report_.format == SaveFormat::Dataset) return addRecord(frame, size);
        const uint32_t captured = uint32_t(std::min(size, size_t(kPcapSnapLen)));
        const uint32_t wire = stamp ? std::max(captured, stamp->wireLength) : captured;
        const CaptureTime time = timeToWrite(stamp);
        if (report_.format == SaveFormat::Pcapng) {
            if (commented)
                for (const std::string& text : *comments) report_.commentsCut += keptCommentBytes(text) < text.size();
            appendPcapngPacket(buffer_, frame, captured, wire, uint64_t(time), comments);
            ++report_.written;
            return buffer_.size() < kBufferSize || flushBuffer();
        }
        pcap_pkthdr header{};
        header.caplen = captured;
        header.len = wire;
        // The seconds' low 32 bits are the file's unsigned seconds.
        header.ts.tv_sec = time_t(secondsOf(time));
        const int64_t ns = nanosecondsOf(time);
        header.ts.tv_usec = suseconds_t(resolution_ == TimeResolution::Nanoseconds ? ns : ns / 1000);
        pcap_dump(reinterpret_cast<u_char*>(dumper_), &header, frame);
        ++report_.written;
        return true;
    }

    bool flushInPlace()
    {
        bool ok = file_.error().empty();
        if (ok && !dumper_) ok = flushBuffer();
        if (ok && dumper_ && pcap_dump_flush(dumper_) != 0) {
            file_.fail("the capture could not be written");
            ok = false;
        }
        if (ok && gzip_) ok = gzip_->flush();
        return ok && file_.publish();
    }

    SaveReport finish()
    {
        bool ok = file_.error().empty();
        if (ok && !dumper_) ok = flushBuffer();
        if (ok && dumper_) {
            ok = pcap_dump_flush(dumper_) == 0 && !std::ferror(pcap_dump_file(dumper_));
            if (!ok) file_.fail("the capture could not be written");
            pcap_dump_close(dumper_);
            dumper_ = nullptr;
        }
        if (ok && gzip_) ok = gzip_->finish();
        if (ok) ok = file_.commit();
        report_.ok = ok;
        report_.error = ok ? std::string() : file_.error();
        return report_;
    }

private:
    static constexpr size_t kBufferSize = 128 << 10;

    // The stamp's time when the file can hold it, else one millisecond after the frame before.
    CaptureTime timeToWrite(const FrameStamp* stamp)
    {
        CaptureTime time = stamp ? stamp->time : kNoTime;
        const bool fits = report_.format == SaveFormat::Pcapng ? time >= 0 : fitsPcap(time);
        if (time != kNoTime && !fits) {
            ++report_.timesOutOfRange;
            time = kNoTime;
        }
        if (time == kNoTime) time = lastTime_ == kNoTime ? 0 : lastTime_ + kUntimedSpacingNs;
        return lastTime_ = time;
    }

    bool addRecord(const uint8_t* frame, size_t size)
    {
        switch (datasetMisfit(frame, size)) {
        case DatasetMisfit::TooLong: ++report_.leftOutTooLong; return true;
        case DatasetMisfit::HoldsTrailer: ++report_.leftOutTrailer; return true;
        case DatasetMisfit::Empty: return true;
        case DatasetMisfit::None: break;
        }
        buffer_.insert(buffer_.end(), frame, frame + size);
        buffer_.insert(buffer_.end(), kRecordTrailer.begin(), kRecordTrailer.end());
        ++report_.written;
        return buffer_.size() < kBufferSize || flushBuffer();
    }

    bool flushBuffer()
    {
        const bool ok = gzip_ ? gzip_->write(buffer_.data(), buffer_.size()) : file_.write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

    std::string path_;
    AtomicFile file_;
    TimeResolution resolution_;
    CaptureTime lastTime_ = kNoTime;   // of the frame written last
    SaveReport report_;
    std::vector<uint8_t> buffer_;
    pcap_t* dead_ = nullptr;
    pcap_dumper_t* dumper_ = nullptr;
    std::unique_ptr<GzipWriter> gzip_;   // when the name ends in .gz
};

FrameWriter::FrameWriter(const std::string& path, TimeResolution resolution)
    : impl_(std::make_unique<Impl>(path, resolution))
{
}
FrameWriter::~FrameWriter() = default;
bool FrameWriter::open() { return impl_->open(); }
bool FrameWriter::add(const uint8_t* frame, size_t size, const FrameStamp* stamp, const FrameComments* comments)
{
    return impl_->add(frame, size, stamp, comments);
}
bool FrameWriter::flushInPlace() { return impl_->flushInPlace(); }
SaveReport FrameWriter::finish() { return impl_->finish(); }

SaveReport saveHeldPackets(const std::string& path)
{
    const int64_t first = firstHeldPacket(), last = getPacketCount();
    TimeResolution resolution = TimeResolution::Microseconds;
    for (int64_t n = first; n <= last && resolution == TimeResolution::Microseconds; ++n)
        if (hasSubMicroseconds(getCaptureTime(n))) resolution = TimeResolution::Nanoseconds;
    FrameWriter writer(path, resolution);
    if (writer.open()) {
        for (int64_t n = first; n <= last; ++n) {
            const size_t size = size_t(getPacketLength(n)) + 1;
            const FrameStamp stamp{getCaptureTime(n), getWireLength(n)};
            const std::optional<FrameComments> comments = packetComments(n);
            if (!writer.add(packetBytesOf(n), size, &stamp, comments ? &*comments : nullptr)) break;
        }
    }
    return writer.finish();
}
