#pragma once
// A file of recorded frames, read frame by frame: a nivora dataset or a
// pcap/pcapng capture. Loading into the store and converting between formats
// both read through this.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "frameComments.h"
#include "frameStamp.h"
#include "linkHeader.h"
#include "loadReport.h"

struct SourceFrame {
    const uint8_t* data;
    size_t size;
    int64_t position;           // file offset just past the frame's record
    const FrameStamp* stamp;    // null when the file keeps no times (a dataset)
    const FrameComments* comments = nullptr;   // null when the frame has none
    int linkType = link_type::kEthernet;   // what it was before its link header was replaced
};

class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Opens and checks the file. On failure fills report.error and
    // report.message and returns false.
    virtual bool open(const std::string& path, LoadReport& report, LoadObserver& observer) = 0;
    // Hands the frames over in file order until visit returns false, counting
    // report.recordsFound and whatever had to be skipped.
    virtual void forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit) = 0;
    // Once open: whether a frame's time may have digits below the microsecond.
    virtual bool mayHoldSubMicroseconds() const { return false; }
};

std::unique_ptr<FrameSource> makeDatasetSource();
std::unique_ptr<FrameSource> makeCaptureSource();

// What a file holds, judged by its first bytes (a gzip-compressed file's by
// the first bytes it holds): the pcap and pcapng magic numbers mean a
// capture; anything else is read as a dataset, whose header check then tells
// the user if it is not one.
enum class FileKind { Dataset, Capture };
FileKind sniffFileKind(const std::string& path);
// Whether the file is gzip-compressed (by its content, whatever its name).
bool isCompressedFile(const std::string& path);
std::unique_ptr<FrameSource> makeSourceFor(const std::string& path);

// "EN10MB (Ethernet)": libpcap's name and description of a link type.
// Files of link types that cannot be shown as Ethernet are refused with it.
std::string linkTypeText(int linkType);
// "FILE holds IEEE802_11_RADIO (...) frames; only ... can be loaded".
std::string notEthernetText(const std::string& path, int linkType);

// "Cannot open "PATH": reason" and friends, shared by the sources and writers.
std::string quotedPath(const std::string& path);
