#pragma once
// What the pcap and pcapng readers of files and of streams share: the magic
// numbers, block types and limits, reading numbers in either byte order, a
// pcapng interface's clock, and a frame's time from its record.
#include <cstdint>
#include <cstring>

#include "frameComments.h"
#include "frameStamp.h"
#include "frameStream.h"

namespace capture {
constexpr int kEthernet = 1;
constexpr uint32_t kMaxCaptured = 262144;   // the largest frame libpcap accepts
constexpr uint32_t kSectionHeader = 0x0A0D0D0A, kInterface = 1, kOldPacket = 2, kSimplePacket = 3,
                   kEnhancedPacket = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint32_t kPcapMicro = 0xA1B2C3D4, kPcapNano = 0xA1B23C4D;   // in the writer's byte order
constexpr size_t kMaxInterfaces = 4096;     // per section; more is taken for damage
constexpr size_t kPcapHeader = 24, kPcapRecordHeader = 16;

inline uint16_t u16(const uint8_t* p, bool swapped)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return swapped ? __builtin_bswap16(v) : v;
}
inline uint32_t u32(const uint8_t* p, bool swapped)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return swapped ? __builtin_bswap32(v) : v;
}
inline uint64_t u64(const uint8_t* p, bool swapped)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return swapped ? __builtin_bswap64(v) : v;
}

// An interface description block of `length` bytes at b (at least 20): its
// link type and clock. Options: code, length, value padded to 4 bytes;
// if_tsresol (9) sets the time unit, if_tsoffset (14) the seconds added to every time.
inline CaptureInterface interfaceOf(const uint8_t* b, uint32_t length, bool swapped, int64_t blockOffset)
{
    CaptureInterface interface{blockOffset, u16(b + 8, swapped), 1000000};
    for (size_t o = 16; o + 4 <= length - 4;) {
        const uint16_t code = u16(b + o, swapped), size = u16(b + o + 2, swapped);
        if (code == 0 || o + 4 + size > length - 4) break;
        if (code == 9 && size >= 1) {
            const uint8_t r = b[o + 4];
            const unsigned exponent = r & 0x7F;
            if (exponent < 20 && (r & 0x80) == 0) {
                uint64_t units = 1;
                for (unsigned k = 0; k < exponent; ++k) units *= 10;
                interface.unitsPerSecond = units;
            } else if (exponent < 64 && (r & 0x80) != 0) {
                interface.unitsPerSecond = uint64_t(1) << exponent;
            }
        }
        if (code == 14 && size >= 8) interface.offsetSeconds = int64_t(u64(b + o + 4, swapped));
        o += 4 + (size + 3u) / 4 * 4;
    }
    return interface;
}

// A pcapng frame's time from its interface's ticks, as libpcap counts: whole
// units plus the offset, wrapping as its unsigned seconds do.
inline CaptureTime pcapngTime(const CaptureInterface& interface, uint64_t ticks)
{
    const uint64_t units = interface.unitsPerSecond;
    const int64_t seconds = int64_t(ticks / units + uint64_t(interface.offsetSeconds));
    const int64_t nanoseconds = int64_t((unsigned __int128)(ticks % units) * kNsPerSecond / units);
    return pcapFrameTime(seconds, nanoseconds, false);
}

// A pcap record's time: 32 unsigned bits of seconds and a fraction in µs or ns.
inline CaptureTime pcapTime(uint32_t seconds, uint32_t fraction, bool nanoseconds)
{
    return pcapFrameTime(seconds, nanoseconds ? fraction : int64_t(fraction) * 1000, true);
}

// Every opt_comment (1) among a packet block's `size` bytes of options at o,
// up to the end of options (0) or the last option that fits, into the first
// of `comments` (whose strings keep their room from frame to frame); how many.
inline size_t readPacketComments(const uint8_t* o, size_t size, bool swapped, FrameComments& comments)
{
    size_t found = 0;
    for (size_t at = 0; at + 4 <= size;) {
        const uint16_t code = u16(o + at, swapped), length = u16(o + at + 2, swapped);
        if (code == 0 || at + 4 + length > size) break;
        if (code == 1) {
            if (found == comments.size()) comments.emplace_back();
            comments[found++].assign(reinterpret_cast<const char*>(o + at + 4), length);
        }
        at += 4 + (length + 3u) / 4 * 4;
    }
    return found;
}
}
