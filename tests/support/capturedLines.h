#pragma once
// Frames as lines of text ("bytes-in-hex time wire-length"), so that what a
// stream handed over or a file holds compares at a glance, times included;
// and the test captures that exercise the stream readers.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/captureRecords.h"
#include "core/frameStream.h"
#include "support/recordedFiles.h"

namespace captured {

inline QString lineOf(const uint8_t* data, size_t size, const FrameStamp& stamp)
{
    return QString("%1 %2 %3")
        .arg(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).toHex().constData())
        .arg(stamp.time)
        .arg(stamp.wireLength);
}

// The frames of a whole capture file, read by the file reader (or its refusal).
inline QStringList fileLines(const QString& path)
{
    LoadReport report;
    QStringList lines;
    auto stream = openFrameStream(path.toStdString(), report);
    if (!stream) return {QString::fromStdString(report.message)};
    stream->read(report, stream->start(), [&](const StreamFrame& f) {
        return lines << lineOf(f.frame.data, f.frame.size, *f.frame.stamp), true;
    });
    return lines;
}

// A pcap in the other byte order with nanosecond times and wire lengths
// beyond the captured bytes.
inline QByteArray bigEndianPcap(const std::vector<recorded::Frame>& all)
{
    recorded::Pcapng w;
    w.big = true;
    w.u32(capture::kPcapNano); w.u16(2); w.u16(4); w.u32(0); w.u32(0); w.u32(65535); w.u32(1);
    for (size_t k = 0; k < all.size(); ++k) {
        w.u32(uint32_t(1700000000 + k)); w.u32(uint32_t(999999990 + k));
        w.u32(uint32_t(all[k].size())); w.u32(uint32_t(all[k].size() + 7));
        w.b += recorded::bytesOf(all[k]);
    }
    return w.b;
}

// Two sections in both byte orders; Ethernet beside Linux cooked and
// loopback interfaces; clocks in ns, in 2^-20 s and with an offset. Frames
// `first` to `first` + 2n - 1, n in each section.
inline QByteArray mixedPcapng(int n = 12, int first = 1)
{
    recorded::Pcapng ng;
    ng.section(false).interface(1, {9, 0}).interface(113);
    for (int k = first; k < first + n; ++k)
        ng.packet(0, recorded::numberedFrame(k), 1700000000123456789ull + uint64_t(k)).packet(1, recorded::Frame(40, 1));
    ng.section(true).interface(0).interface(1, {0x80 | 20, 1000});
    for (int k = first + n; k < first + 2 * n; ++k)
        ng.packet(1, recorded::numberedFrame(k), (uint64_t(k) << 20) + 12345).packet(0, recorded::Frame(30, 2));
    return ng.b;
}
}
