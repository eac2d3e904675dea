#pragma once
// Writing small dataset, pcap and pcapng files for tests, and reading back
// what the store or a file holds.
#include <pcap/pcap.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/accessors.h"
#include "core/loadReport.h"
#include "core/modLibrary.h"
#include "support/frames.h"

namespace recorded {

using Frame = std::vector<uint8_t>;

// Records what the loader tells the program, in order.
struct RecordingObserver : LoadObserver {
    QStringList events;
    std::function<void()> whenRead;   // what happens to the file once its header is checked
    void fileOpened(int64_t size) override { events << QString("opened %1").arg(size); }
    void fileRead() override
    {
        events << "read";
        if (whenRead) whenRead();
    }
    void storeReset() override { events << "reset"; }
    void progress(int64_t p) override { events << QString("progress %1").arg(p); }
    void yieldPoint() override { events << "yield"; }
    void capacityReached(int32_t c) override { events << QString("capacity %1").arg(c); }
};

inline const QByteArray kHeader("<NIVORA>");
inline const QByteArray kTrailer("<NIVORA[CR][LF]>");

inline QByteArray bytesOf(const Frame& f) { return QByteArray(reinterpret_cast<const char*>(f.data()), qsizetype(f.size())); }
inline Frame frameOf(const QByteArray& b) { return Frame(b.begin(), b.end()); }

// A TCP frame of `size` bytes holding the trailer text at offset `at`.
inline Frame withTrailerAt(size_t at, int size)
{
    Frame f = frames::ipv4(size, 6);
    std::copy(kTrailer.begin(), kTrailer.end(), f.begin() + long(at));
    return f;
}

// UDP frames of 60 + n % 7 bytes carrying their numbers n in their ports, and
// the number packet p carries.
inline Frame numberedFrame(int n) { return frames::ipv4(60 + n % 7, 17, uint16_t(n), uint16_t(n >> 16)); }
inline std::vector<Frame> numbered(int first, int last)
{
    std::vector<Frame> all;
    for (int n = first; n <= last; ++n) all.push_back(numberedFrame(n));
    return all;
}
inline int numberOf(int64_t p) { return getUDPSourcePort(p) | getUDPDestPort(p) << 16; }
// The number a numbered frame's bytes carry; the numbers first to last.
inline int numberIn(const uint8_t* f) { return (f[34] << 8 | f[35]) | (f[36] << 8 | f[37]) << 16; }
inline QList<int> numbersFrom(int first, int last)
{
    QList<int> all;
    for (int n = first; n <= last; ++n) all << n;
    return all;
}

// Stores a frame whole; the frame packet n holds.
inline int32_t store(const Frame& f) { return addPacket(f.data(), int(f.size()) - 1); }
inline Frame stored(int64_t n) { return Frame(packetBytesOf(n), packetBytesOf(n) + getPacketLength(n) + 1); }

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}
inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Header, then each frame followed by the trailer.
inline QByteArray dataset(const std::vector<Frame>& frames)
{
    QByteArray b = kHeader;
    for (const Frame& f : frames) b += bytesOf(f) + kTrailer;
    return b;
}

// A pcap file through libpcap's own writer, frame k captured at 1700000000 + k
// seconds (and k microseconds); with `cutTo`, frames were cut to that many bytes on capture.
inline bool writePcap(const QString& path, const std::vector<Frame>& frames, int linkType = DLT_EN10MB, size_t cutTo = 65535)
{
    pcap_t* dead = pcap_open_dead(linkType, 65535);
    pcap_dumper_t* dumper = pcap_dump_open(dead, QFile::encodeName(path).constData());
    for (size_t k = 0; dumper && k < frames.size(); ++k) {
        pcap_pkthdr h{};
        h.ts = {long(1700000000 + k), long(k)};
        h.len = bpf_u_int32(frames[k].size());
        h.caplen = bpf_u_int32(std::min(frames[k].size(), cutTo));
        pcap_dump(reinterpret_cast<u_char*>(dumper), &h, frames[k].data());
    }
    if (dumper) pcap_dump_close(dumper);
    pcap_close(dead);
    return dumper != nullptr;
}

// One frame's time as a pcap or pcapng file keeps it: whole seconds and a
// fraction of the file's (or interface's) unit.
struct FileTime {
    uint64_t seconds;
    uint64_t fraction;
};

// A little-endian pcap file written byte by byte, so that seconds past 2038
// and nanosecond magic need no help from libpcap.
inline QByteArray pcapFile(const std::vector<Frame>& frames, const std::vector<FileTime>& times, bool nano)
{
    QByteArray b;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b += char(v >> (8 * i)); };
    u32(nano ? 0xA1B23C4D : 0xA1B2C3D4); u32(0x00040002); u32(0); u32(0); u32(65535); u32(1);
    for (size_t k = 0; k < frames.size(); ++k) {
        u32(uint32_t(times[k].seconds)); u32(uint32_t(times[k].fraction));
        u32(uint32_t(frames[k].size())); u32(uint32_t(frames[k].size()));
        b += bytesOf(frames[k]);
    }
    return b;
}

// The magic's unit and "seconds.fraction" of each record of a pcap file,
// read byte by byte (little-endian files only).
inline QStringList pcapTimes(const QByteArray& file)
{
    auto u32 = [&](qsizetype at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(file[at + i]);
        return v;
    };
    if (file.size() < 24) return {"no pcap header"};
    const bool nano = u32(0) == 0xA1B23C4D;
    QStringList times{nano ? "ns" : u32(0) == 0xA1B2C3D4 ? "us" : "other"};
    for (qsizetype at = 24; at + 16 <= file.size(); at += 16 + qsizetype(u32(at + 8)))
        times << QString("%1.%2").arg(u32(at)).arg(u32(at + 4), nano ? 9 : 6, 10, QChar('0'));
    return times;
}

// "seconds.microseconds wireLength" for each frame of a pcap file.
inline QStringList stampsIn(const QString& path)
{
    char error[PCAP_ERRBUF_SIZE];
    pcap_t* p = pcap_open_offline(QFile::encodeName(path).constData(), error);
    QStringList stamps;
    pcap_pkthdr* h;
    const u_char* bytes;
    while (p && pcap_next_ex(p, &h, &bytes) == 1)
        stamps << QString("%1.%2 %3").arg(h->ts.tv_sec).arg(h->ts.tv_usec, 6, 10, QChar('0')).arg(h->len);
    if (p) pcap_close(p);
    return stamps;
}

// How a pcapng interface counts time: if_tsresol's byte (6: microseconds,
// 9: nanoseconds, 0x80 | n: 2^-n seconds; 0: the option left out) and
// if_tsoffset in seconds (0: left out).
struct PcapngClock {
    uint8_t resolution = 0;
    int64_t offset = 0;
};

// A pcapng file built block by block: sections in either byte order, each
// with its interfaces (link type, clock), and enhanced packet blocks on them.
struct Pcapng {
    QByteArray b;
    bool big = false;
    void u32(uint32_t v) { for (int i = 0; i < 4; ++i) b += char(v >> (8 * (big ? 3 - i : i))); }
    void u16(uint16_t v) { for (int i = 0; i < 2; ++i) b += char(v >> (8 * (big ? 1 - i : i))); }
    Pcapng& section(bool bigEndian = false)
    {
        big = bigEndian;
        u32(0x0A0D0D0A); u32(28); u32(0x1A2B3C4D); u16(1); u16(0); u32(0xFFFFFFFF); u32(0xFFFFFFFF); u32(28);
        return *this;
    }
    Pcapng& interface(uint16_t linkType = 1, PcapngClock clock = {})
    {
        const uint32_t options = (clock.resolution ? 8 : 0) + (clock.offset ? 12 : 0) + (clock.resolution || clock.offset ? 4 : 0);
        u32(1); u32(20 + options); u16(linkType); u16(0); u32(65535);
        if (clock.resolution) { u16(9); u16(1); b += char(clock.resolution); b += QByteArray(3, '\0'); }
        if (clock.offset) { u16(14); u16(8); u32(uint32_t(uint64_t(clock.offset) >> (big ? 32 : 0))); u32(uint32_t(uint64_t(clock.offset) >> (big ? 0 : 32))); }
        if (options) { u16(0); u16(0); }
        u32(20 + options);
        return *this;
    }
    // An enhanced packet block, or with `obsolete` the packet block it
    // replaced (a 16-bit interface and a drops count), each comment an
    // opt_comment; `wire`: the frame's length on the wire when it was longer
    // than the bytes kept.
    Pcapng& packet(uint32_t interface, const Frame& f, uint64_t ticks = 0, uint32_t wire = 0,
                   const QList<QByteArray>& comments = {}, bool obsolete = false)
    {
        const auto padded = [](qsizetype size) { return uint32_t((size + 3) / 4 * 4); };
        uint32_t options = comments.isEmpty() ? 0 : 4;
        for (const QByteArray& c : comments) options += 4 + padded(c.size());
        const uint32_t length = 32 + padded(qsizetype(f.size())) + options;
        u32(obsolete ? 2 : 6); u32(length);
        if (obsolete) { u16(uint16_t(interface)); u16(0); } else { u32(interface); }
        u32(uint32_t(ticks >> 32)); u32(uint32_t(ticks));
        u32(uint32_t(f.size())); u32(std::max(wire, uint32_t(f.size())));
        b += bytesOf(f) + QByteArray(qsizetype(padded(qsizetype(f.size())) - f.size()), '\0');
        for (const QByteArray& c : comments) {
            u16(1); u16(uint16_t(c.size()));
            b += c + QByteArray(qsizetype(padded(c.size())) - c.size(), '\0');
        }
        if (!comments.isEmpty()) { u16(0); u16(0); }
        u32(length);
        return *this;
    }
};

// One little-endian section, one interface of `linkType`, each frame stamped
// with `ticks` of the interface's unit (0 when not given).
inline QByteArray pcapng(const std::vector<Frame>& frames, uint16_t linkType = 1, PcapngClock clock = {},
                         const std::vector<uint64_t>& ticks = {})
{
    Pcapng w;
    w.section().interface(linkType, clock);
    for (size_t k = 0; k < frames.size(); ++k) w.packet(0, frames[k], k < ticks.size() ? ticks[k] : 0);
    return w.b;
}

}
