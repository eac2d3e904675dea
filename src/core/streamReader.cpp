#include "streamReader.h"

#include <algorithm>
#include <cctype>

#include "captureRecords.h"
#include "datasetFormat.h"
#include "linkHeader.h"

using namespace capture;

namespace {
constexpr size_t kNeedMore = 0;
constexpr size_t kFailed = SIZE_MAX;
// A pcapng block longer than this is taken for damage rather than waited for:
// its frame could be no longer than libpcap's largest, its options no longer
// than a generous comment.
constexpr uint32_t kMaxBlock = 16 << 20;
constexpr size_t kShownBytes = 16;   // of a stream refused, the first bytes told

// A pcapng section header's byte-order magic, in either order (12 bytes at p).
bool byteOrderKnown(const uint8_t* p)
{
    const uint32_t order = u32(p + 8, false);
    return order == kByteOrderMagic || order == __builtin_bswap32(kByteOrderMagic);
}

bool pcapMagic(const uint8_t* p)
{
    const uint32_t magic = u32(p, false);
    return magic == kPcapMicro || magic == kPcapNano || magic == __builtin_bswap32(kPcapMicro)
           || magic == __builtin_bswap32(kPcapNano);
}

// Whether the first n bytes may begin a capture: too few to tell, or its magic numbers.
bool mayBeCapture(const uint8_t* p, size_t n)
{
    if (n < 4 || pcapMagic(p)) return true;
    return u32(p, false) == kSectionHeader && (n < 12 || byteOrderKnown(p));
}

std::string plural(int64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool printable(const uint8_t* data, size_t size)
{
    return std::all_of(data, data + size, [](uint8_t c) { return std::isprint(c) || c == '\n' || c == '\r' || c == '\t'; });
}
}

std::string describeStreamStart(const uint8_t* data, size_t size)
{
    const std::string lead = "the stream is not a pcap or pcapng capture: ";
    if (size >= kDatasetHeader.size() && hasDatasetHeader(data, kDatasetHeader.size()))
        return lead + "it is a nivora dataset, which is opened as a file (File > Load Nivora Dataset)";
    const size_t shown = std::min(size, kShownBytes);
    if (printable(data, shown)) {
        std::string text(reinterpret_cast<const char*>(data), shown);
        std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
        return lead + "it begins with the text \"" + text + "\"";
    }
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (size_t k = 0; k < shown; ++k) hex += std::string(k ? " " : "") + digits[data[k] >> 4] + digits[data[k] & 15];
    return lead + "it begins with the bytes " + hex;
}

bool StreamReader::feed(const uint8_t* data, size_t size, const Visit& visit)
{
    if (failed()) return false;
    stopped_ = false;
    if (pending_.empty()) {   // most chunks: read in place, only an incomplete end is kept
        const size_t used = parse(data, size, visit);
        if (used == kFailed) return false;
        pending_.assign(data + used, data + size);
    } else {
        pending_.insert(pending_.end(), data, data + size);
        const size_t used = parse(pending_.data(), pending_.size(), visit);
        if (used == kFailed) return false;
        pending_.erase(pending_.begin(), pending_.begin() + ptrdiff_t(used));
    }
    return true;
}

size_t StreamReader::parse(const uint8_t* p, size_t n, const Visit& visit)
{
    size_t used = 0;
    while (!stopped_) {
        recordStart_ = consumed_;
        size_t step = kNeedMore;
        if (format_ == Format::Unknown) {
            step = header(p + used, n - used);
            if (step == kNeedMore && format_ == Format::Pcapng) continue;   // its header is its first block
        } else {
            step = format_ == Format::Pcap ? pcapRecord(p + used, n - used, visit) : pcapngBlock(p + used, n - used, visit);
        }
        if (step == kFailed) {
            pending_.clear();
            return kFailed;
        }
        if (step == kNeedMore) break;
        used += step;
        consumed_ += int64_t(step);
    }
    return used;
}

size_t StreamReader::fail(const std::string& why)
{
    error_ = why;
    return kFailed;
}

size_t StreamReader::damaged(const std::string& why)
{
    return fail("the stream is damaged at byte " + std::to_string(recordStart_) + ": " + why);
}

size_t StreamReader::header(const uint8_t* p, size_t n)
{
    if (n < 4) return kNeedMore;
    const bool pcapng = u32(p, false) == kSectionHeader;   // the same in either byte order
    if (pcapng && n < 12) return kNeedMore;
    if (pcapng && byteOrderKnown(p)) {
        format_ = Format::Pcapng;
        return kNeedMore;   // its header is its first block
    }
    if (!pcapng && !pcapMagic(p)) {   // no capture: told by its first bytes, the same however they come
        const bool dataset = n >= kDatasetHeader.size() && hasDatasetHeader(p, kDatasetHeader.size());
        if (!dataset && n < kShownBytes) return kNeedMore;
        return fail(describeStreamStart(p, n));
    }
    if (pcapng) return n < kShownBytes ? kNeedMore : fail(describeStreamStart(p, n));
    const uint32_t magic = u32(p, false);
    if (n < kPcapHeader) return kNeedMore;
    swapped_ = magic != kPcapMicro && magic != kPcapNano;
    nanoseconds_ = magic == kPcapNano || magic == __builtin_bswap32(kPcapNano);
    const int linkType = int(u32(p + 20, swapped_) & 0x03FFFFFF);
    if (!shownAsEthernet(linkType))
        return fail("the stream holds " + linkTypeText(linkType)
                    + " frames; only Ethernet, Linux cooked, raw IP and loopback captures can be shown");
    pcapLinkType_ = linkType;
    format_ = Format::Pcap;
    return kPcapHeader;
}

bool StreamReader::hand(int linkType, const uint8_t* data, uint32_t captured, FrameStamp stamp, const Visit& visit,
                        const FrameComments* comments)
{
    if (captured == 0) {
        ++emptyFrames_;
        return true;
    }
    ++frames_;
    const EthernetFrame e = asEthernet(linkType, data, captured, scratch_);
    stamp.wireLength = wireLengthAfter(stamp.wireLength, e.grownBy, e.size);
    return visit(StreamedFrame{e.data, uint32_t(e.size), stamp, linkType, comments});
}

size_t StreamReader::pcapRecord(const uint8_t* p, size_t n, const Visit& visit)
{
    if (n < kPcapRecordHeader) return kNeedMore;
    const uint32_t captured = u32(p + 8, swapped_), wire = u32(p + 12, swapped_);
    if (captured > kMaxCaptured) return damaged("a frame claims " + std::to_string(captured) + " captured bytes");
    if (n < kPcapRecordHeader + captured) return kNeedMore;
    const FrameStamp stamp{pcapTime(u32(p, swapped_), u32(p + 4, swapped_), nanoseconds_), std::max(wire, captured)};
    stopped_ = !hand(pcapLinkType_, p + kPcapRecordHeader, captured, stamp, visit);
    return kPcapRecordHeader + captured;
}

size_t StreamReader::pcapngBlock(const uint8_t* p, size_t n, const Visit& visit)
{
    if (n < 12) return kNeedMore;
    const bool sectionHeader = u32(p, false) == kSectionHeader;
    if (sectionHeader) {
        if (!byteOrderKnown(p)) return damaged("a section header has no byte-order magic");
    } else if (!inSection_) {
        return damaged("a block comes before the first section header");
    }
    const bool swapped = sectionHeader ? u32(p + 8, false) != kByteOrderMagic : swapped_;
    const uint32_t type = u32(p, swapped), length = u32(p + 4, swapped);
    if (length < 12 || length % 4 != 0) return damaged("a block has the impossible length " + std::to_string(length));
    if (length > kMaxBlock) return damaged("a block claims " + std::to_string(length) + " bytes");
    if (n < length) return kNeedMore;
    if (sectionHeader) {
        inSection_ = true;
        swapped_ = swapped;
        interfaces_.clear();
    } else if (type == kInterface) {
        if (interfaces_.size() == kMaxInterfaces) return damaged("a section describes more than 4096 interfaces");
        if (length < 20) return damaged("an interface description is too short");
        interfaces_.push_back(interfaceOf(p, length, swapped_, recordStart_));
    } else if (type == kEnhancedPacket || type == kOldPacket || type == kSimplePacket) {
        if (packetBlock(p, type, length, visit) == kFailed) return kFailed;
    }
    return length;
}

size_t StreamReader::packetBlock(const uint8_t* p, uint32_t type, uint32_t length, const Visit& visit)
{
    uint32_t interfaceId = 0, captured = 0, wire = 0, body = 28;
    uint64_t ticks = 0;
    if (type == kSimplePacket) {
        if (length < 16) return damaged("a packet block is too short");
        wire = u32(p + 8, swapped_);
        captured = std::min(wire, length - 16);
        body = 12;
    } else {
        if (length < 32) return damaged("a packet block is too short");
        interfaceId = type == kOldPacket ? u16(p + 8, swapped_) : u32(p + 8, swapped_);
        ticks = (uint64_t(u32(p + 12, swapped_)) << 32) | u32(p + 16, swapped_);
        captured = u32(p + 20, swapped_);
        wire = u32(p + 24, swapped_);
        if (captured > length - 32) return damaged("a packet block holds less than its frame");
    }
    if (captured > kMaxCaptured) return damaged("a frame claims " + std::to_string(captured) + " captured bytes");
    if (interfaceId >= interfaces_.size())
        return damaged("a frame names interface " + std::to_string(interfaceId) + ", which its section does not describe");
    const CaptureInterface& interface = interfaces_[interfaceId];
    if (!shownAsEthernet(interface.linkType)) {
        ++otherLinkFrames_;
        return length;
    }
    // Options follow the padded frame in the obsolete and enhanced packet blocks.
    const uint32_t optionsAt = body + (captured + 3) / 4 * 4;
    const bool withOptions = type != kSimplePacket && length >= optionsAt + 8;
    comments_.resize(withOptions ? readPacketComments(p + optionsAt, length - 4 - optionsAt, swapped_, comments_) : 0);
    const FrameStamp stamp{pcapngTime(interface, ticks), std::max(wire, captured)};
    stopped_ = !hand(interface.linkType, p + body, captured, stamp, visit, comments_.empty() ? nullptr : &comments_);
    return length;
}

void StreamReader::end()
{
    // Fewer bytes than a refusal waits for, and none of a capture's header.
    if (!failed() && format_ == Format::Unknown && !mayBeCapture(pending_.data(), pending_.size()))
        fail(describeStreamStart(pending_.data(), pending_.size()));
}

std::vector<std::string> StreamReader::endNotes() const
{
    std::vector<std::string> notes{"stream ended after " + plural(frames_, "frame", "frames")};
    if (!pending_.empty())
        notes.push_back((headerRead() ? "the last frame was cut short: " : "the stream ended inside its header: ")
                        + plural(int64_t(pending_.size()), "byte", "bytes") + " dropped");
    if (otherLinkFrames_ > 0)
        notes.push_back(plural(otherLinkFrames_, "frame", "frames") + " of interfaces that are not Ethernet skipped");
    if (emptyFrames_ > 0) notes.push_back(plural(emptyFrames_, "frame", "frames") + " without bytes skipped");
    return notes;
}
