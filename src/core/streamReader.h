#pragma once
// A pcap or pcapng capture arriving as a stream (a pipe, standard input, a
// command's output) in chunks of any size: each complete Ethernet frame is
// handed over as soon as its last byte is in, a frame whose link header can
// be replaced by an Ethernet one (linkHeader.h) converted; a record that is
// not complete waits for the next chunk. Bytes that are no capture are
// refused at the first ones, with what they were; a pcap of a link type that
// cannot be shown as Ethernet is refused by its name; pcapng frames of such
// interfaces are skipped and counted. Nothing is kept of a frame after it was
// handed over.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frameComments.h"
#include "frameStamp.h"
#include "frameStream.h"

struct StreamedFrame {
    const uint8_t* data;   // valid only while it is handed over
    uint32_t size;         // captured bytes, at least 1
    FrameStamp stamp;
    int linkType;          // the frame's own, before its header was replaced by an Ethernet one
    const FrameComments* comments;   // pcapng opt_comments; null when none; valid only while handed over
};

class StreamReader {
public:
    // Returns false to stop handing over frames; the rest waits for the next feed().
    using Visit = std::function<bool(const StreamedFrame&)>;

    // Takes the next bytes of the stream (none: go on after a visit that
    // stopped). False once the stream was refused or found damaged: error()
    // says why, and no further frame comes.
    bool feed(const uint8_t* data, size_t size, const Visit& visit);

    // The stream has ended: a short one that is no capture is refused now.
    void end();

    const std::string& error() const { return error_; }
    bool failed() const { return !error_.empty(); }
    // The capture's header is read: what follows are its records.
    bool headerRead() const { return format_ != Format::Unknown; }
    // Whether a frame's time may have digits below the microsecond.
    bool mayHoldSubMicroseconds() const { return format_ == Format::Pcapng || nanoseconds_; }

    int64_t bytesIn() const { return consumed_ + int64_t(pending_.size()); }
    int64_t frames() const { return frames_; }                       // handed over
    int64_t otherLinkFrames() const { return otherLinkFrames_; }     // pcapng, not shown as Ethernet: skipped
    int64_t emptyFrames() const { return emptyFrames_; }             // no bytes captured: skipped
    // Bytes of an incomplete record (or header) waiting for the rest.
    int64_t waitingBytes() const { return int64_t(pending_.size()); }

    // What to tell once the stream ended: "stream ended after N frames", then
    // what was cut short or skipped.
    std::vector<std::string> endNotes() const;

private:
    enum class Format { Unknown, Pcap, Pcapng };

    // Reads the records complete in [p, p + n); how many bytes were used.
    size_t parse(const uint8_t* p, size_t n, const Visit& visit);
    // One record at p (n bytes available): its length once complete, 0 while
    // more is needed, kStop after the visit stopped (the record used), kFail.
    size_t header(const uint8_t* p, size_t n);
    size_t pcapRecord(const uint8_t* p, size_t n, const Visit& visit);
    size_t pcapngBlock(const uint8_t* p, size_t n, const Visit& visit);
    size_t packetBlock(const uint8_t* p, uint32_t type, uint32_t length, const Visit& visit);
    size_t fail(const std::string& why);
    size_t damaged(const std::string& why);
    bool hand(int linkType, const uint8_t* data, uint32_t captured, FrameStamp stamp, const Visit& visit,
              const FrameComments* comments = nullptr);

    Format format_ = Format::Unknown;
    bool swapped_ = false;       // pcap, or the pcapng section: the writer's byte order is not ours
    bool nanoseconds_ = false;   // pcap: times in nanoseconds
    bool inSection_ = false;     // pcapng: a section header was read
    std::vector<CaptureInterface> interfaces_;   // of the current pcapng section
    std::vector<uint8_t> pending_;               // the start of a record still incomplete
    int pcapLinkType_ = 1;                       // pcap: of every frame
    std::vector<uint8_t> scratch_;               // a frame whose header was replaced
    FrameComments comments_;                     // of the pcapng frame being handed over
    int64_t consumed_ = 0;       // bytes used by complete records and the header
    int64_t recordStart_ = 0;    // stream offset of the record being read
    bool stopped_ = false;       // the last visit returned false
    int64_t frames_ = 0, otherLinkFrames_ = 0, emptyFrames_ = 0;
    std::string error_;
};

// "the stream is not a pcap or pcapng capture: it begins with ..." for
// bytes that are none, told as text when they read as text.
std::string describeStreamStart(const uint8_t* data, size_t size);
