#pragma once
// Writing frames to a file: a nivora dataset (header, then each frame closed
// by its trailer), a pcap capture (Ethernet link type) or a pcapng capture
// (one Ethernet interface in nanoseconds, comments kept). The format follows
// the name: ".nivora", ".pcap" or ".pcapng", in any letter case,
// gzip-compressed when ".gz" follows. A file is written whole or not at all
// (see AtomicFile).
#include <cstdint>
#include <memory>
#include <string>

#include "frameComments.h"
#include "frameStamp.h"

enum class SaveFormat { Dataset, Pcap, Pcapng, Unknown };
// How finely a capture file counts its times: a pcap file either in
// microseconds or, under its own magic number, in nanoseconds.
enum class TimeResolution { Microseconds, Nanoseconds };
SaveFormat saveFormatOf(const std::string& path);

struct SaveReport {
    bool ok = false;
    std::string error;             // names the file and the reason
    SaveFormat format = SaveFormat::Unknown;
    int64_t written = 0;           // frames in the file
    int64_t leftOutTooLong = 0;    // dataset only: over 1585 bytes
    int64_t leftOutTrailer = 0;    // dataset only: holds the trailer text, would split on reading
    int64_t timesOutOfRange = 0;   // capture only: times it cannot hold (pcap: before 1970 or past 2106;
                                   // pcapng: before 1970), invented instead
    int64_t commentsCut = 0;       // pcapng only: comments over 65535 bytes, cut to fit
    int64_t commentsLeftOut = 0;   // dataset and pcap: frames whose comments the format cannot carry
    int64_t leftOut() const { return leftOutTooLong + leftOutTrailer; }
    bool lostAnything() const { return leftOut() > 0 || timesOutOfRange > 0 || commentsCut > 0 || commentsLeftOut > 0; }
};

// "3 frame(s) were left out: ..." with the reasons, and the times a capture
// could not keep; empty when nothing was lost.
std::string describeLeftOut(const SaveReport& report);

class FrameWriter {
public:
    explicit FrameWriter(const std::string& path, TimeResolution resolution = TimeResolution::Microseconds);
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Creates the temporary file and writes the file header.
    bool open();
    // Writes one frame, or counts it as left out when the format cannot carry
    // it. A capture keeps the stamp's time (cut to the file's resolution) and
    // wire length; a frame without a time is put one millisecond after the
    // frame before (the first at 0). Only pcapng keeps the comments.
    // Returns false once writing has failed.
    bool add(const uint8_t* frame, size_t size, const FrameStamp* stamp = nullptr, const FrameComments* comments = nullptr);
    // Writes out what is buffered and puts the file in place at once, so
    // what was written survives the program (a capture's frames as they come).
    bool flushInPlace();
    // Completes the file and puts it in place; the report says how it went.
    SaveReport finish();

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

// Writes the packets the store holds, oldest first; a capture in nanoseconds
// when any held time has digits below the microsecond.
SaveReport saveHeldPackets(const std::string& path);
