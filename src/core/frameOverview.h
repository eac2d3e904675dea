#pragma once
// A whole file at a glance: its frames counted into at most kMaxBins bins of
// equal width along an axis that starts at 0, each bin split by the kind of
// traffic. The axis is the frame number (minus one), or the capture time in
// nanoseconds after the file's first. When a key lands past the last
// bin, neighbouring bins merge and every bin doubles its width, so memory
// stays fixed however long the file is.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

enum class TrafficKind { Tcp, Udp, Icmp, Other };
constexpr int kTrafficKinds = 4;

// TCP, UDP or ICMP over IPv4 by the frame's Ethertype and protocol byte; anything else is Other.
TrafficKind trafficKindOf(const uint8_t* frame, size_t size);

struct OverviewBin {
    std::array<uint32_t, kTrafficKinds> frames{};
    uint64_t bytes = 0;
    uint32_t total() const { return frames[0] + frames[1] + frames[2] + frames[3]; }
};

class FrameOverview {
public:
    static constexpr int64_t kMaxBins = 512;

    // A frame at `key` (0 or more) of `bytes` captured bytes.
    void add(int64_t key, TrafficKind kind, uint32_t bytes);

    // Counts `more` in the last bin (the first when there is none yet).
    void addToLast(const OverviewBin& more);

    int64_t binWidth() const { return width_; }   // keys per bin
    const std::vector<OverviewBin>& bins() const { return bins_; }

private:
    int64_t width_ = 1;
    std::vector<OverviewBin> bins_;
};

// An overview by capture time as an axis for the file's frames: every bin
// takes the same room, so a burst of frames is narrow and a quiet stretch
// wide. Frames are taken to lie in file order along it (as they do when
// their times go forward), spread evenly within their bin.
class TimeAxis {
public:
    explicit TimeAxis(const FrameOverview& byTime);

    // Where frame `frame` (0-based) lies, as a fraction 0..1 of the axis.
    double fractionOf(double frame) const;
    // The frame (0-based, with its fraction) at `fraction` of the axis.
    double frameAt(double fraction) const;

private:
    std::vector<int64_t> before_;   // frames in the bins before bin b; the last entry: all
};
