#pragma once
// The binary rainfall's drawing: every packet as one row of pixels, a pixel
// standing for one bit, one byte or three bytes of the packet, or the whole
// packet as a line as long as it is large. Rows fill the picture from the top
// and wrap (static scroll), or the newest row enters under a blank top row
// and pushes the older ones down (dynamic scroll). The thumbnail shows every
// packet's bytes as a row of green pixels.
#include <vector>

#include "core/colorRef.h"
#include "vis/VisWindow.h"

class PictureSurface;

// The entries of the mode list, in its order.
enum class RainfallMode { PacketLength, Rain24To1, Rain8To1, Rain1To1 };

struct BinaryRainfallSettings {
    RainfallMode mode = RainfallMode::Rain8To1;
    bool dynamicScroll = false;
    bool highlightASCII = false;   // printable bytes blue, the others grey
    bool highlightNOP = false;     // 0x90 red
};

class BinaryRainfall {
public:
    // The pictures are the window's. The dynamic scroll moves picGraph's rows
    // in place, which leaves what a copy through picGraphBack would; picGraphBack
    // is only ever cleared.
    BinaryRainfall(PictureSurface& picGraph, PictureSurface& picGraphBack);

    // The controls' state; the window sets it whenever a control changes.
    BinaryRainfallSettings settings;

    void Plot(const PacketToDraw& packet);
    // The newest packets that can stay in sight: a row each, less the blank one.
    int64_t packetsKept() const;
    // The row moves on as in Plot, no row drawn.
    void skip();
    // A fresh full view: the top row, both pictures erased.
    void initVis();
    int currentRow() const { return currentRow_; }

    // value / 1518 x range, rounded half to even; 0 when range is not positive.
    static int scaleRange(int value, int range);

private:
    void drawRow(const PacketToDraw& packet, int row);
    void advanceRow();
    int bitColors(const PacketToDraw& packet, int bytes);

    PictureSurface& picGraph_;
    PictureSurface& picGraphBack_;
    int currentRow_ = 0;
    std::vector<ColorRef> run_;   // the row being drawn
};

class BinaryRainfallThumbnail : public ThumbnailRenderer {
public:
    void plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    void clear(const ThumbnailTarget& target) override;
    int64_t packetsKept(const ThumbnailTarget& target) const override;
    void skip(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    int thumbRow() const { return thumbRow_; }

private:
    int thumbRow_ = 0;
    std::vector<ColorRef> run_;
};
