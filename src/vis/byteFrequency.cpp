#include "byteFrequency.h"

#include <algorithm>

#include "core/accessors.h"
#include "core/colourRules.h"
#include "platform/PictureSurface.h"
#include "vis/thumbnailRows.h"

namespace {
constexpr ColorRef kAbove = rgb(255, 0, 0);
constexpr ColorRef kAtOrBelow = rgb(0, 0, 255);
constexpr ColorRef kThumbByte = rgb(0, 255, 0);

// The colour of a byte value with this share of the packet, given the packet's
// protocol colour and the threshold; 0 (not drawn) when the value does not occur.
ColorRef scaleColor(float value, FrequencyMode mode, ColorRef presence, float threshold)
{
    if (!(value > 0)) return 0;
    if (mode == FrequencyMode::Presence) return presence;
    return value > threshold ? kAbove : kAtOrBelow;
}
}

ByteFrequency::ByteFrequency(PictureSurface& picGraph, PictureSurface& picGraphBack)
    : picGraph_(picGraph), picGraphBack_(picGraphBack)
{
}

float ByteFrequency::threshold() const
{
    if (settings.thresholdMaximum <= 0) return 0.0f;
    // One division of whole numbers, then single precision as the shares are
    // kept: a share equal to the threshold compares equal (1/10 at 10%).
    return float(double(settings.threshold) * 20.0 / (100.0 * settings.thresholdMaximum));
}

void ByteFrequency::initVis()
{
    currentRow_ = 0;
    picGraph_.cls();
    picGraphBack_.cls();
    hits_.reset(picGraph_.scaleHeight());
}

void ByteFrequency::Plot(int64_t packetNumber, const std::array<float, 256>& byteFrequency)
{
    if (settings.dynamicScroll) {
        // Everything moves down a row, the bottom row drops out and the top row
        // stays blank; the newest packet takes row 1.
        picGraph_.scrollRows(1);
        hits_.scroll(1);
        drawRow(packetNumber, byteFrequency, 1);
    } else {
        drawRow(packetNumber, byteFrequency, currentRow_);
    }
    advanceRow();
}

// Advance, wrapping on the picture so that no packet is drawn out of sight;
// static scroll keeps the row under the newest packet blank.
void ByteFrequency::advanceRow()
{
    currentRow_ = currentRow_ + 1 < picGraph_.scaleHeight() ? currentRow_ + 1 : 0;
    if (!settings.dynamicScroll) {
        picGraph_.line(0, currentRow_, picGraph_.scaleWidth() - 1, currentRow_, picGraph_.backColor());
        hits_.erase(currentRow_, currentRow_);
    }
}

int64_t ByteFrequency::packetsKept() const { return std::max(0, picGraph_.scaleHeight() - 1); }

void ByteFrequency::skip()
{
    if (settings.dynamicScroll) {
        picGraph_.scrollRows(1);
        hits_.scroll(1);
    }
    advanceRow();
}

void ByteFrequency::drawRow(int64_t packetNumber, const std::array<float, 256>& byteFrequency, int row)
{
    // Byte values that do not occur (colour 0) leave their pixel alone.
    const ColorRef presence = packetColour(packetNumber);
    const float t = threshold();
    std::array<ColorRef, 256> run;
    for (size_t x = 0; x < run.size(); ++x) {
        const ColorRef c = scaleColor(byteFrequency[x], settings.mode, presence, t);
        run[x] = c != 0 ? c : PictureSurface::kNoColor;
    }
    picGraph_.setPixels(0, row, run.data(), int(run.size()));
    hits_.mark(row, row, packetNumber);
}

void ByteFrequencyThumbnail::plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target)
{
    PictureSurface& thumb = *target.picture;
    const int w = thumb.scaleWidth();
    const std::array<float, 256>& frequency = *packet.frequency;
    const int n = std::min(w, 256);
    std::array<ColorRef, 256> run;
    for (int x = 0; x < n; ++x) run[size_t(x)] = frequency[size_t(x)] > 0 ? kThumbByte : PictureSurface::kNoColor;
    thumb.setPixels(0, thumbRow_, run.data(), n);
    thumbRow_ = advanceThumbRow(thumb, thumbRow_);
}

int64_t ByteFrequencyThumbnail::packetsKept(const ThumbnailTarget& target) const
{
    return thumbRowsKept(*target.picture);
}

void ByteFrequencyThumbnail::skip(const PacketToDraw&, const ThumbnailTarget& target)
{
    thumbRow_ = advanceThumbRow(*target.picture, thumbRow_);
}

void ByteFrequencyThumbnail::clear(const ThumbnailTarget& target)
{
    thumbRow_ = 0;
    target.picture->cls();
}
