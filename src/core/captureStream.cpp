// Reading pcap and pcapng captures record by record without libpcap, so that
// a pass can begin at any record an earlier pass noted, and a pcapng file may
// mix Ethernet with other interfaces and change them from section to section:
// Ethernet frames are handed over, and frames whose link header can be
// replaced by an Ethernet one (linkHeader.h) converted; the others counted.
#include <cstring>
#include <vector>

#include "blockReader.h"
#include "captureRecords.h"
#include "frameStream.h"
#include "regularFile.h"

namespace {
using namespace capture;

std::string at(int64_t offset) { return " at byte offset " + std::to_string(offset); }

class CaptureStream final : public FrameStream {
public:
    explicit CaptureStream(size_t bufferBytes) : reader_(bufferBytes) {}

    bool open(const std::string& path, LoadReport& report) override
    {
        if (!openFile(path, report)) return false;
        attachReader(reader_);
        const uint8_t* h = reader_.peek(24);
        if (h && u32(h, false) == kSectionHeader) {
            pcapng_ = true;
            return true;
        }
        const uint32_t magic = h ? u32(h, false) : 0;
        swapped_ = magic == 0xD4C3B2A1 || magic == 0x4D3CB2A1;
        nanoseconds_ = magic == 0xA1B23C4D || magic == 0x4D3CB2A1;
        if (!swapped_ && magic != 0xA1B2C3D4 && magic != 0xA1B23C4D)
            return fail(report, LoadError::NotCapture, quotedPath(path) + " is not a pcap or pcapng capture: its header is not one");
        pcapLinkType_ = int(u32(h + 20, swapped_) & 0x03FFFFFF);
        if (!shownAsEthernet(pcapLinkType_)) return fail(report, LoadError::NotEthernet, notEthernetText(path, pcapLinkType_));
        return true;
    }

    StreamPoint start() const override { return {pcapng_ ? 0 : 24, 0}; }
    bool mayHoldSubMicroseconds() const override { return pcapng_ || nanoseconds_; }

    void read(LoadReport& report, const StreamPoint& from, const std::function<bool(const StreamFrame&)>& visit) override
    {
        reader_.seek(from.offset);
        report_ = &report;
        if (pcapng_) readPcapng(from, visit);
        else readPcap(visit);
        if (reader_.error() != 0) report.damage = reader_.failure();   // says more than where the file ended
    }

private:
    // The file ends (at its limit) or breaks off; false either way.
    bool ended(size_t partial, const char* what)
    {
        if (partial > 0 || reader_.remaining() > 0) report_->damage = std::string("the file ends in the middle of ") + what + at(reader_.offset());
        return false;
    }

    bool damaged(const std::string& what)
    {
        report_->damage = what + at(reader_.offset());
        return false;
    }

    // One frame of `linkType` with its bytes at p, as Ethernet; false to stop.
    bool hand(int linkType, const uint8_t* p, uint32_t captured, FrameStamp stamp, int64_t recordEnd, int64_t recordStart,
              int32_t section, const std::function<bool(const StreamFrame&)>& visit, const FrameComments* comments = nullptr)
    {
        ++report_->recordsFound;
        if (captured == 0) {
            ++report_->emptyFrames;
            return true;
        }
        if (firstLinkType_ < 0) firstLinkType_ = linkType;
        if (linkType != firstLinkType_) report_->mixedLinkTypes = true;
        // Copied out at once: the bytes at p live only until the next read.
        const EthernetFrame e = asEthernet(linkType, p, captured, scratch_);
        stamp.wireLength = wireLengthAfter(stamp.wireLength, e.grownBy, e.size);
        return visit(StreamFrame{SourceFrame{e.data, e.size, progressAt(recordEnd), &stamp, comments, linkType},
                                 StreamPoint{recordStart, section}});
    }

    void readPcap(const std::function<bool(const StreamFrame&)>& visit)
    {
        for (;;) {
            const int64_t start = reader_.offset();
            const uint8_t* h = reader_.peek(16);
            if (!h) return void(ended(size_t(reader_.remaining()), "a frame's header"));
            // Every header field is read before the next peek, which may move the buffer under h.
            const uint32_t seconds = u32(h, swapped_), fraction = u32(h + 4, swapped_);
            const uint32_t captured = u32(h + 8, swapped_), wire = u32(h + 12, swapped_);
            if (captured > kMaxCaptured) return void(damaged("a frame claims " + std::to_string(captured) + " captured bytes"));
            const FrameStamp stamp{pcapFrameTime(seconds, nanoseconds_ ? fraction : int64_t(fraction) * 1000, true),
                                   std::max(wire, captured)};
            const uint8_t* p = reader_.peek(16 + captured);
            if (!p) return void(ended(1, "a frame"));
            reader_.advance(16 + captured);
            if (!hand(pcapLinkType_, p + 16, captured, stamp, reader_.offset(), start, 0, visit)) return;
        }
    }

    void readPcapng(const StreamPoint& from, const std::function<bool(const StreamFrame&)>& visit)
    {
        int32_t section = from.section;
        for (;;) {
            const int64_t start = reader_.offset();
            const uint8_t* h = reader_.peek(12);
            if (!h) return void(ended(size_t(reader_.remaining()), "a block"));
            if (u32(h, false) == kSectionHeader) {   // the same in either byte order
                section = enterSection(start, u32(h + 8, false) != 0x1A2B3C4D);
            } else if (layout_.sections.empty()) {
                return void(damaged("a block comes before the first section header"));
            }
            const CaptureSection& s = layout_.sections[size_t(section)];
            const uint32_t type = u32(h, s.swapped), length = u32(h + 4, s.swapped);
            if (length < 12 || length % 4 != 0) return void(damaged("a block has the impossible length " + std::to_string(length)));
            if (type == kInterface) {
                if (!addInterface(section, start, length)) return;
            } else if (type == kEnhancedPacket || type == kOldPacket || type == kSimplePacket) {
                if (!packet(type, length, section, start, visit)) return;
                continue;   // packet() moved past the block
            }
            reader_.advance(length);
        }
    }

    // A section header at `offset`: the known section, or a new one.
    int32_t enterSection(int64_t offset, bool swapped)
    {
        auto& sections = layout_.sections;
        for (size_t k = 0; k < sections.size(); ++k)
            if (sections[k].blockOffset == offset) return int32_t(k);
        sections.push_back(CaptureSection{offset, swapped, {}});
        return int32_t(sections.size() - 1);
    }

    bool addInterface(int32_t section, int64_t offset, uint32_t length)
    {
        CaptureSection& s = layout_.sections[size_t(section)];
        for (const CaptureInterface& i : s.interfaces)
            if (i.blockOffset == offset) return true;   // met on an earlier pass
        if (s.interfaces.size() == kMaxInterfaces) return damaged("a section describes more than 4096 interfaces");
        if (length < 20) return damaged("an interface description is too short");
        // Its options set the times of its frames: read whole, or not at all.
        if (length > reader_.capacity())
            return damaged("an interface description is longer than " + std::to_string(reader_.capacity()) + " bytes");
        const uint8_t* b = reader_.peek(length);
        if (!b) return ended(1, "an interface description");
        const CaptureInterface interface = interfaceOf(b, length, s.swapped, offset);
        s.interfaces.push_back(interface);
        return true;
    }

    bool packet(uint32_t type, uint32_t length, int32_t section, int64_t start,
                const std::function<bool(const StreamFrame&)>& visit)
    {
        const CaptureSection& s = layout_.sections[size_t(section)];
        const uint8_t* b = reader_.peek(std::min<size_t>(length, 28));
        if (!b) return ended(1, "a packet block");
        uint32_t interfaceId = 0, captured = 0, wire = 0, body = 28;
        uint64_t ticks = 0;
        if (type == kSimplePacket) {
            wire = u32(b + 8, s.swapped);
            captured = std::min(wire, length - 16);
            body = 12;
        } else {
            if (length < 32) return damaged("a packet block is too short");
            interfaceId = type == kOldPacket ? u16(b + 8, s.swapped) : u32(b + 8, s.swapped);
            ticks = (uint64_t(u32(b + 12, s.swapped)) << 32) | u32(b + 16, s.swapped);
            captured = u32(b + 20, s.swapped);
            wire = u32(b + 24, s.swapped);
            if (captured > length - 32) return damaged("a packet block holds less than its frame");
        }
        if (captured > kMaxCaptured) return damaged("a frame claims " + std::to_string(captured) + " captured bytes");
        if (interfaceId >= s.interfaces.size())
            return damaged("a frame names interface " + std::to_string(interfaceId) + ", which its section does not describe");
        const CaptureInterface& interface = s.interfaces[interfaceId];
        if (!shownAsEthernet(interface.linkType)) {
            ++report_->recordsFound;
            ++report_->otherLinkFrames;
            reader_.advance(length);
            return true;
        }
        // Options follow the padded frame in the (obsolete or enhanced) packet
        // block; read with it when the block fits the buffer whole.
        const uint32_t optionsAt = body + (captured + 3) / 4 * 4;
        const bool withOptions = type != kSimplePacket && length >= optionsAt + 8 && length <= reader_.capacity();
        const uint8_t* p = reader_.peek(withOptions ? length : body + captured);
        if (!p) return ended(1, "a frame");
        comments_.resize(withOptions ? readPacketComments(p + optionsAt, length - 4 - optionsAt, s.swapped, comments_) : 0);
        const FrameStamp stamp{pcapngTime(interface, ticks), std::max(wire, captured)};
        reader_.advance(length);
        return hand(interface.linkType, p + body, captured, stamp, reader_.offset(), start, section, visit,
                    comments_.empty() ? nullptr : &comments_);
    }

    BlockReader reader_;
    bool pcapng_ = false;
    bool swapped_ = false;       // pcap: the file's byte order is not ours
    bool nanoseconds_ = false;   // pcap: time stamps in nanoseconds
    int pcapLinkType_ = link_type::kEthernet;
    int firstLinkType_ = -1;         // of the first frame handed over
    std::vector<uint8_t> scratch_;   // a frame whose header was replaced
    LoadReport* report_ = nullptr;
    FrameComments comments_;     // of the frame handed last
};
}

std::unique_ptr<FrameStream> makeCaptureStream(size_t bufferBytes) { return std::make_unique<CaptureStream>(bufferBytes); }
