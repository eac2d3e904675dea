#include "pcapngBlocks.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t kSectionHeader = 0x0A0D0D0A, kInterface = 1, kEnhancedPacket = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint16_t kEthernet = 1;
constexpr uint16_t kEndOfOptions = 0, kComment = 1, kTimeResolution = 9;
constexpr uint8_t kNanoseconds = 9;   // if_tsresol: 10^-9 s

void put(PcapngBuffer& out, const void* value, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(value);
    out.insert(out.end(), p, p + size);
}
void put32(PcapngBuffer& out, uint32_t v) { put(out, &v, 4); }
void put16(PcapngBuffer& out, uint16_t v) { put(out, &v, 2); }
void pad(PcapngBuffer& out, size_t size) { out.resize(out.size() + (4 - size % 4) % 4, 0); }

void option(PcapngBuffer& out, uint16_t code, const void* value, size_t size)
{
    put16(out, code);
    put16(out, uint16_t(size));
    put(out, value, size);
    pad(out, size);
}

// Starts a block whose length is filled in by closeBlock; gives where it began.
size_t openBlock(PcapngBuffer& out, uint32_t type)
{
    const size_t begin = out.size();
    put32(out, type);
    put32(out, 0);
    return begin;
}
void closeBlock(PcapngBuffer& out, size_t begin)
{
    const uint32_t length = uint32_t(out.size() - begin + 4);
    std::memcpy(out.data() + begin + 4, &length, 4);
    put32(out, length);
}
}

size_t keptCommentBytes(const std::string& text)
{
    if (text.size() <= kMaxCommentBytes) return text.size();
    size_t end = kMaxCommentBytes;
    while (end > 0 && (uint8_t(text[end]) & 0xC0) == 0x80) --end;   // not inside a character
    return end;
}

void appendPcapngHead(PcapngBuffer& out, uint32_t snapLength)
{
    size_t begin = openBlock(out, kSectionHeader);
    put32(out, kByteOrderMagic);
    put16(out, 1);   // version 1.0
    put16(out, 0);
    put32(out, 0xFFFFFFFF);   // section length: not given
    put32(out, 0xFFFFFFFF);
    closeBlock(out, begin);

    begin = openBlock(out, kInterface);
    put16(out, kEthernet);
    put16(out, 0);
    put32(out, snapLength);
    option(out, kTimeResolution, &kNanoseconds, 1);
    option(out, kEndOfOptions, nullptr, 0);
    closeBlock(out, begin);
}

void appendPcapngPacket(PcapngBuffer& out, const uint8_t* frame, uint32_t captured, uint32_t wireLength,
                        uint64_t timeNs, const FrameComments* comments)
{
    const size_t begin = openBlock(out, kEnhancedPacket);
    put32(out, 0);   // the one interface
    put32(out, uint32_t(timeNs >> 32));
    put32(out, uint32_t(timeNs));
    put32(out, captured);
    put32(out, std::max(wireLength, captured));
    put(out, frame, captured);
    pad(out, captured);
    if (comments && !comments->empty()) {
        for (const std::string& text : *comments) option(out, kComment, text.data(), keptCommentBytes(text));
        option(out, kEndOfOptions, nullptr, 0);
    }
    closeBlock(out, begin);
}
