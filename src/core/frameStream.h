#pragma once
// Every frame the store can take from a dataset, pcap or pcapng file, in one
// streaming pass through a fixed buffer, from the first record or from a
// point an earlier pass noted. Reading stops where the file ended when it was
// opened, so a file that grows meanwhile is read as it was.
//
// The frames the store can take are numbered 1, 2, 3, ... in file order: the
// file's frame numbers. Records it cannot take (a dataset record over 1601
// bytes, a capture frame without bytes, a pcapng frame of an interface that is
// not Ethernet) get no number; they are skipped and counted in the report.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "blockReader.h"
#include "frameSource.h"

// Where a record begins, with what reading on from there needs.
struct StreamPoint {
    int64_t offset = 0;
    int32_t section = 0;   // pcapng: the section whose interfaces apply
};

// A pcapng interface, known by the offset of the block that described it.
struct CaptureInterface {
    int64_t blockOffset = 0;
    int linkType = 0;
    uint64_t unitsPerSecond = 1000000;   // time stamp resolution
    int64_t offsetSeconds = 0;           // added to every time stamp
};

// A pcapng section: its byte order and interfaces, known by the offset of its header.
struct CaptureSection {
    int64_t blockOffset = 0;
    bool swapped = false;
    std::vector<CaptureInterface> interfaces;
};

struct InflateIndex;   // gzipFile.h

// What a reader learnt of the file's layout on the way, and needs again to
// read on from a point in the middle: the pcapng sections met so far, and a
// compressed file's access points.
struct StreamLayout {
    std::vector<CaptureSection> sections;
    std::shared_ptr<InflateIndex> inflate;
};

// The file as it was when opened: a different size, time, or file under the
// same name means it was replaced or changed since.
struct FileIdentity {
    int64_t size = 0;
    int64_t modifiedNs = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct StreamFrame {
    SourceFrame frame;
    StreamPoint at;   // where its record begins
};

class BlockReader;
class GzipReader;

class FrameStream {
public:
    FrameStream();
    virtual ~FrameStream();
    // Opens and checks the file's header. On failure fills report.error and
    // report.message and returns false.
    virtual bool open(const std::string& path, LoadReport& report) = 0;
    // Hands the frames over in file order from `from` (a point this file's
    // reader gave, or start()) until visit returns false or the file ends,
    // counting report.recordsFound, what was skipped, and any damage.
    virtual void read(LoadReport& report, const StreamPoint& from,
                      const std::function<bool(const StreamFrame&)>& visit) = 0;
    virtual StreamPoint start() const = 0;
    // Whether a frame's time may have digits below the microsecond.
    virtual bool mayHoldSubMicroseconds() const { return false; }

    const FileIdentity& identity() const { return identity_; }
    const StreamLayout& layout() const { return layout_; }
    // Reading on from a point another pass gave needs that pass's layout.
    void adoptLayout(const StreamLayout& layout) { layout_ = layout; }

protected:
    // Opens the file for reading and notes its identity; false after filling the report.
    bool openFile(const std::string& path, LoadReport& report);
    bool fail(LoadReport& report, LoadError error, const std::string& message);
    // Reads the file's contents: the file itself, or what it holds compressed.
    void attachReader(BlockReader& reader);
    // A frame's position for progress: its offset, or how far into the compressed file reading came.
    int64_t progressAt(int64_t offset) const;

    int fd_ = -1;
    std::unique_ptr<GzipReader> gzip_;   // when the file is compressed
    FileIdentity identity_;
    StreamLayout layout_;
};

// bufferBytes: the reader's buffer, smaller only in tests (a frame must fit it whole).
std::unique_ptr<FrameStream> makeFrameStream(FileKind kind, size_t bufferBytes = BlockReader::kCapacity);

// Opens `path` as what its first bytes (or, compressed, its contents' first bytes) say it is; null after filling the report.
std::unique_ptr<FrameStream> openFrameStream(const std::string& path, LoadReport& report);

// The identity of an open file; false when it cannot be read or is no regular file.
bool fileIdentityOf(int fd, FileIdentity& identity);
// The identity the file under `path` has now; false when it is gone.
bool currentFileIdentity(const std::string& path, FileIdentity& identity);
