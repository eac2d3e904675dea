#pragma once
// Captures and datasets several times the streaming reader's buffer, written
// so that a record straddles every buffer boundary at an offset chosen in
// turn from a list: in the record's header, in its frame, in its trailer. The
// writer follows where the reader refills: a pcap or pcapng buffer begins at
// the record whose bytes did not fit the one before (a pcapng block whose
// frame fitted and only its tail did not: the block after it), a dataset's
// 128 KiB blocks follow each other.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "core/blockReader.h"
#include "support/recordedFiles.h"

namespace straddled {

enum class Kind { Pcap, Pcapng, Dataset };

struct Format {
    Kind kind;
    bool bigEndian = false;
    bool nanoseconds = false;   // pcap: the nanosecond magic; pcapng: if_tsresol 9
};

struct Written {
    QByteArray file;
    std::vector<recorded::Frame> frames;
    std::vector<int64_t> times;   // nanoseconds since 1970, per frame
    int boundaries = 0;           // buffer boundaries a record straddles
};

constexpr int64_t kDatasetBlock = 128 << 10;   // the dataset reader's block

inline int64_t recordOverhead(Kind kind) { return kind == Kind::Pcapng ? 32 : 16; }

// Record lengths: frames of 60 to 1516 bytes (a multiple of 4 in pcapng, so no padding).
inline int64_t shortestRecord(Kind kind) { return recordOverhead(kind) + 60; }
inline int64_t longestRecord(Kind kind) { return recordOverhead(kind) + 1516; }

// Where the boundary falls in the straddling record, from its first byte; the
// straddling record is the longest.
inline std::vector<int64_t> plannedOffsets(Kind kind)
{
    switch (kind) {
    case Kind::Pcap: return {0, 1, 8, 15, 16, 17, 60, 1531};                  // header, frame, last byte
    case Kind::Pcapng: return {0, 4, 12, 24, 28, 32, 1540, 1544};           // header, frame, trailing length
    case Kind::Dataset: return {0, 1, 60, 1515, 1516, 1517, 1524, 1531};     // frame, trailer
    }
    return {};
}

class Writer {
public:
    explicit Writer(Format format) : format_(format)
    {
        if (format.kind == Kind::Dataset) {
            out_.file = recorded::kHeader;
        } else if (format.kind == Kind::Pcap) {
            u32(format.nanoseconds ? 0xA1B23C4D : 0xA1B2C3D4); u16(2); u16(4); u32(0); u32(0); u32(65535); u32(1);
        } else {
            recorded::Pcapng w;
            w.section(format.bigEndian).interface(1, {uint8_t(format.nanoseconds ? 9 : 0), 0});
            out_.file = w.b;
        }
    }

    // Records until the file passes `minimumBytes` and every planned offset was met once.
    Written write(int64_t minimumBytes)
    {
        const std::vector<int64_t> offsets = plannedOffsets(format_.kind);
        const int64_t buffer = format_.kind == Kind::Dataset ? kDatasetBlock : int64_t(BlockReader::kCapacity);
        int64_t end = readingStart() + buffer;   // the current buffer's end
        while (out_.file.size() < minimumBytes || out_.boundaries < int(offsets.size())) {
            const int64_t o = offsets[size_t(out_.boundaries) % offsets.size()];
            const int64_t gap = end - out_.file.size() - o;   // bytes before the straddling record
            if (gap > longestRecord(format_.kind)) {
                const int64_t usual = shortestRecord(format_.kind) + ((frameCount() * 7919) % 1400) / 4 * 4;
                record(std::min(usual, gap - shortestRecord(format_.kind)));
                continue;
            }
            record(gap);
            const int64_t straddler = out_.file.size(), length = longestRecord(format_.kind);
            record(length);
            ++out_.boundaries;
            if (format_.kind == Kind::Dataset) end += buffer;
            else if (format_.kind == Kind::Pcapng && o >= length - 4) end = straddler + length + buffer;   // only its tail was left
            else end = straddler + buffer;
        }
        return out_;
    }

private:
    // A pass reads a pcapng file from its section header, the others from their first record.
    int64_t readingStart() const { return format_.kind == Kind::Pcapng ? 0 : out_.file.size(); }
    int64_t frameCount() const { return int64_t(out_.frames.size()); }

    void u32(uint32_t v) { for (int i = 0; i < 4; ++i) out_.file += char(v >> (8 * (format_.bigEndian ? 3 - i : i))); }
    void u16(uint16_t v) { for (int i = 0; i < 2; ++i) out_.file += char(v >> (8 * (format_.bigEndian ? 1 - i : i))); }

    // One record `length` bytes long; times rise by 1 to 2000 µs a frame (and some ns).
    void record(int64_t length)
    {
        const int k = int(frameCount());
        const int size = int(length - recordOverhead(format_.kind));
        const recorded::Frame frame = frames::ipv4(size, k % 3 ? 17 : 6, uint16_t(k), uint16_t(k >> 16), 5, uint8_t(k * 13));
        time_ += 1000 * (1 + (k * 7919) % 2000) + (format_.nanoseconds ? (k * 37) % 1000 : 0);
        const uint64_t seconds = uint64_t(time_ / 1000000000), ns = uint64_t(time_ % 1000000000);
        const uint64_t fraction = format_.nanoseconds ? ns : ns / 1000;
        if (format_.kind == Kind::Dataset) {
            out_.file += recorded::bytesOf(frame) + recorded::kTrailer;
        } else if (format_.kind == Kind::Pcap) {
            u32(uint32_t(seconds)); u32(uint32_t(fraction)); u32(uint32_t(size)); u32(uint32_t(size));
            out_.file += recorded::bytesOf(frame);
        } else {
            recorded::Pcapng w;
            w.big = format_.bigEndian;
            w.packet(0, frame, seconds * (format_.nanoseconds ? 1000000000 : 1000000) + fraction);
            out_.file += w.b;
        }
        out_.frames.push_back(frame);
        out_.times.push_back(format_.kind == Kind::Dataset ? 0 : int64_t(seconds) * 1000000000 + int64_t(format_.nanoseconds ? ns : ns / 1000 * 1000));
    }

    Format format_;
    Written out_;
    int64_t time_ = int64_t(1700000000) * 1000000000;
};

}
