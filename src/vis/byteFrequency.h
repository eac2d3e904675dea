#pragma once
// The byte frequency's drawing: one row of pixels per packet, column x lit
// when the byte value x occurs in the packet, in the packet's protocol colour
// ("byte presence") or red and blue by the value's share of the packet
// ("byte frequency (by packet)"). Rows fill the picture from the top and wrap
// (static scroll), or the newest row enters under a blank top row and pushes
// the older ones down (dynamic scroll). The thumbnail lights every occurring
// byte value in green.
#include <array>
#include <cstdint>

#include "core/colorRef.h"
#include "vis/VisWindow.h"

class PictureSurface;

enum class FrequencyMode { Presence, ByPacket };

struct ByteFrequencySettings {
    FrequencyMode mode = FrequencyMode::Presence;
    bool dynamicScroll = false;
    int threshold = 500;          // the threshold scroll bar: threshold / thresholdMaximum x 20%
    int thresholdMaximum = 1000;
};

class ByteFrequency {
public:
    // The pictures are the window's. The dynamic scroll moves picGraph's rows
    // in place, which leaves what a copy through picGraphBack would; picGraphBack
    // is only ever cleared.
    ByteFrequency(PictureSurface& picGraph, PictureSurface& picGraphBack);

    // The controls' state; the window sets it whenever a control changes.
    ByteFrequencySettings settings;

    void Plot(int64_t packetNumber, const std::array<float, 256>& byteFrequency);
    // The newest packets that can stay in sight: a row each, less the blank one.
    int64_t packetsKept() const;
    // The rows move on as in Plot, no row drawn.
    void skip();
    // A fresh full view: the top row, both pictures erased.
    void initVis();
    int currentRow() const { return currentRow_; }

private:
    // The share of a packet above which a byte value is red: 0 to 0.2.
    float threshold() const;
    void drawRow(int64_t packetNumber, const std::array<float, 256>& byteFrequency, int row);
    void advanceRow();

    PictureSurface& picGraph_;
    PictureSurface& picGraphBack_;
    int currentRow_ = 0;
};

class ByteFrequencyThumbnail : public ThumbnailRenderer {
public:
    void plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    void clear(const ThumbnailTarget& target) override;
    int64_t packetsKept(const ThumbnailTarget& target) const override;
    void skip(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    int thumbRow() const { return thumbRow_; }

private:
    int thumbRow_ = 0;
};
