// Reading a pcap or pcapng capture through libpcap: Ethernet frames, or
// frames whose link header can be replaced by an Ethernet header. libpcap
// checks the file; a pcapng file's frames are then read by our own stream,
// since libpcap hands over no packet's comments.
#include <pcap/pcap.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "frameSource.h"
#include "frameStream.h"
#include "frameWindow.h"
#include "gzipFile.h"
#include "regularFile.h"

namespace {
const uint8_t kPcapngMagic[4] = {0x0A, 0x0D, 0x0D, 0x0A};   // a section header block
const uint8_t kPcapMicroMagic[2][4] = {{0xD4, 0xC3, 0xB2, 0xA1}, {0xA1, 0xB2, 0xC3, 0xD4}};

// The file's first four bytes, the stream left at its start.
std::array<uint8_t, 4> magicOf(std::FILE* stream)
{
    std::array<uint8_t, 4> first{};
    if (std::fread(first.data(), 1, first.size(), stream) != first.size()) first = {};
    std::rewind(stream);
    return first;
}
}

std::string linkTypeText(int linkType)
{
    const char* name = pcap_datalink_val_to_name(linkType);
    const char* description = pcap_datalink_val_to_description(linkType);
    std::string text = name ? name : "link type " + std::to_string(linkType);
    if (description) text += std::string(" (") + description + ")";
    return text;
}

namespace {
class CaptureSource final : public FrameSource {
public:
    ~CaptureSource() override { if (pcap_) pcap_close(pcap_); }   // closes the stream too

    bool open(const std::string& path, LoadReport& report, LoadObserver& observer) override
    {
        // Opened here rather than by name in libpcap, so a missing or
        // unreadable file is reported the same way as for datasets.
        std::string reason;
        const int fd = openRegularFile(path, reason);
        if (fd < 0) return fail(report, LoadError::CannotOpen, "Cannot open " + quotedPath(path) + ": " + reason);
        std::FILE* stream = ::fdopen(fd, "rb");
        struct stat info {};
        if (!stream || ::fstat(fd, &info) != 0) {
            const int error = errno;
            stream ? std::fclose(stream) : ::close(fd);
            return fail(report, LoadError::CannotOpen, "Cannot open " + quotedPath(path) + ": " + std::strerror(error));
        }
        report.fileSize = info.st_size;
        observer.fileOpened(report.fileSize);

        // Every time to the nanosecond, whatever the file's resolution: a
        // pcapng interface may count in 2^-30 s, or 10^-9 s with an offset.
        const auto magic = magicOf(stream);
        seconds32_ = std::memcmp(magic.data(), kPcapngMagic, 4) != 0;
        microseconds_ = std::memcmp(magic.data(), kPcapMicroMagic[0], 4) == 0
                        || std::memcmp(magic.data(), kPcapMicroMagic[1], 4) == 0;
        char error[PCAP_ERRBUF_SIZE] = {};
        pcap_ = pcap_fopen_offline_with_tstamp_precision(stream, PCAP_TSTAMP_PRECISION_NANO, error);
        if (!pcap_) {
            std::fclose(stream);
            return fail(report, LoadError::NotCapture, quotedPath(path) + " is not a pcap or pcapng capture: " + error);
        }
        stream_ = stream;
        observer.fileRead();

        linkType_ = pcap_datalink(pcap_);
        if (!shownAsEthernet(linkType_)) return fail(report, LoadError::NotEthernet, notEthernetText(path, linkType_));
        if (!seconds32_) {
            pcapng_ = makeFrameStream(FileKind::Capture);
            if (!pcapng_->open(path, report)) return false;
        }
        return true;
    }

    bool mayHoldSubMicroseconds() const override { return !microseconds_; }

    void forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit) override
    {
        if (pcapng_) return pcapng_->read(report, pcapng_->start(), [&](const StreamFrame& f) { return visit(f.frame); });
        pcap_pkthdr* header = nullptr;
        const u_char* bytes = nullptr;
        for (;;) {
            const int got = pcap_next_ex(pcap_, &header, &bytes);
            if (got == PCAP_ERROR_BREAK) return;   // the end of the file
            if (got != 1) {
                report.damage = pcap_geterr(pcap_);
                return;
            }
            ++report.recordsFound;
            if (header->caplen == 0) {
                ++report.emptyFrames;
                continue;
            }
            const EthernetFrame e = asEthernet(linkType_, bytes, header->caplen, scratch_);
            const FrameStamp stamp{pcapFrameTime(header->ts.tv_sec, header->ts.tv_usec, seconds32_),
                                   wireLengthAfter(std::max(header->len, header->caplen), e.grownBy, e.size)};
            if (!visit(SourceFrame{e.data, e.size, std::ftell(stream_), &stamp, nullptr, linkType_})) return;
        }
    }

private:
    bool fail(LoadReport& report, LoadError error, const std::string& message)
    {
        report.error = error;
        report.message = message;
        return false;
    }

    pcap_t* pcap_ = nullptr;
    std::FILE* stream_ = nullptr;
    bool seconds32_ = true;       // a pcap file, not pcapng
    bool microseconds_ = false;   // a pcap file of the microsecond kind
    int linkType_ = link_type::kEthernet;
    std::vector<uint8_t> scratch_;   // a frame whose header was replaced
    std::unique_ptr<FrameStream> pcapng_;   // reads a pcapng file's frames
};

bool hasCaptureMagic(const uint8_t* b)
{
    static const uint8_t magics[][4] = {
        {0xD4, 0xC3, 0xB2, 0xA1}, {0xA1, 0xB2, 0xC3, 0xD4},   // pcap, microseconds
        {0x4D, 0x3C, 0xB2, 0xA1}, {0xA1, 0xB2, 0x3C, 0x4D},   // pcap, nanoseconds
        {0x0A, 0x0D, 0x0D, 0x0A},                             // pcapng section header
    };
    for (const auto& m : magics)
        if (std::memcmp(b, m, 4) == 0) return true;
    return false;
}
}

std::string notEthernetText(const std::string& path, int linkType)
{
    return quotedPath(path) + " holds " + linkTypeText(linkType)
           + " frames; only Ethernet, Linux cooked, raw IP and loopback captures can be loaded";
}

std::unique_ptr<FrameSource> makeCaptureSource() { return std::make_unique<CaptureSource>(); }

FileKind sniffFileKind(const std::string& path)
{
    std::string reason;
    const int fd = openRegularFile(path, reason);
    if (fd < 0) return FileKind::Dataset;   // the dataset reader reports why it cannot open
    std::vector<uint8_t> first(4);
    if (isGzipFile(fd)) first = gzipPrefix(fd, 4);   // what the compressed file holds
    else first.resize(size_t(std::max<ssize_t>(0, ::read(fd, first.data(), first.size()))));
    ::close(fd);
    return first.size() == 4 && hasCaptureMagic(first.data()) ? FileKind::Capture : FileKind::Dataset;
}

bool isCompressedFile(const std::string& path)
{
    std::string reason;
    const int fd = openRegularFile(path, reason);
    const bool compressed = fd >= 0 && isGzipFile(fd);
    if (fd >= 0) ::close(fd);
    return compressed;
}

std::unique_ptr<FrameSource> makeSourceFor(const std::string& path)
{
    // A compressed file streams through the reader that inflates it, from its first frame to its last.
    if (isCompressedFile(path)) return std::make_unique<WindowSource>(FrameWindow{1, std::numeric_limits<int64_t>::max()});
    return sniffFileKind(path) == FileKind::Capture ? makeCaptureSource() : makeDatasetSource();
}
