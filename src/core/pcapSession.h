#pragma once
// One open capture on one adapter, set up the way the store wants its frames:
// up to 1601 bytes of each, handed over as soon as they arrive (immediate
// mode), a kernel buffer large enough to ride out bursts, as Ethernet frames.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frameStamp.h"
#include "modLibrary.h"

typedef struct pcap pcap_t;

constexpr int kCaptureSnapLength = kSlotBytes;     // the store keeps no more of a frame
constexpr int kCaptureBufferBytes = 32 << 20;      // libpcap's 2 MB default overflows in bursts

struct CaptureFailure {
    enum class Kind { None, NoPermission, NoSuchAdapter, NotEthernet, BadFilter, Other };
    Kind kind = Kind::None;
    std::string detail;   // libpcap's own words

    bool failed() const { return kind != Kind::None; }
};

// The message for the user: what failed, libpcap's words and, when rights are
// missing, how to grant them to `program` (the executable's path).
std::string describeCaptureFailure(const CaptureFailure& failure, const std::string& adapter,
                                   const std::string& program);

enum class CaptureMode { Blocking, NonBlocking };

// Called once per frame with its captured bytes (at most 1601) and their
// count, as an Ethernet frame whatever the adapter's link type.
using FrameSink = std::function<void(const uint8_t* data, int size)>;

class PcapSession {
public:
    // Opens `adapter` and applies `filter` (libpcap filter syntax; blank = every frame).
    // Returns nullptr with `failure` filled when the capture cannot start.
    static std::unique_ptr<PcapSession> open(const std::string& adapter, const std::string& filter,
                                             CaptureMode mode, CaptureFailure& failure);
    ~PcapSession();
    PcapSession(const PcapSession&) = delete;
    PcapSession& operator=(const PcapSession&) = delete;

    // A descriptor that polls readable while frames wait (or the adapter failed).
    int selectableFd() const;
    // Hands at most maxFrames waiting frames (maxFrames <= 0: one buffer's worth)
    // to sink. Returns how many were handed over (0: none waiting), -1 when the
    // adapter failed (lastError says why), -2 when breakLoop() ended it.
    int dispatch(int maxFrames, const FrameSink& sink);
    // While sink runs: the time and wire length of the frame it was handed.
    const FrameStamp& frameStamp() const { return stamp_; }
    // The adapter's link type: what its frames were before they became Ethernet.
    int linkType() const;
    // Makes dispatch() return soon; safe from a signal handler.
    void breakLoop();
    // Frames the kernel dropped since open because the capture buffer was full
    // (the last known figure when libpcap cannot say).
    uint64_t kernelDrops();
    std::string lastError() const;

private:
    explicit PcapSession(pcap_t* handle) : handle_(handle) {}
    pcap_t* handle_;
    uint64_t drops_ = 0;
    FrameStamp stamp_;
    std::vector<uint8_t> scratch_;   // a frame whose header was replaced
};
