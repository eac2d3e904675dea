#include "binaryRainfall.h"

#include <algorithm>

#include "core/accessors.h"
#include "core/colourRules.h"
#include "core/rounding.h"
#include "platform/PictureSurface.h"
#include "vis/thumbnailRows.h"

namespace {
constexpr ColorRef kNopRed = rgb(255, 0, 0);
constexpr ColorRef kNopDarkRed = rgb(128, 0, 0);
constexpr ColorRef kPrintableBlue = rgb(0, 0, 255);
constexpr ColorRef kPrintableDarkBlue = rgb(0, 0, 128);
constexpr ColorRef kGrey = rgb(64, 64, 64);
constexpr ColorRef kUnpainted = PictureSurface::kNoColor;   // the pixel keeps what it had
constexpr uint8_t kNop = 0x90;

constexpr bool printable(uint8_t b) { return b >= 32 && b <= 126; }

// A pixel per byte: the first highlight that picks the byte, else its value as green.
ColorRef byteColor(uint8_t b, const BinaryRainfallSettings& s)
{
    if (s.highlightNOP && b == kNop) return kNopRed;
    if (s.highlightASCII) return printable(b) ? kPrintableBlue : kGrey;
    return rgb(0, b, 0);
}

// A pixel per bit: of the rules that match, the last one paints. With both
// highlights down the ASCII rules paint over the NOP rules, so a NOP byte's
// set bits end grey and its clear bits stay dark red.
ColorRef bitColor(uint8_t b, bool set, const BinaryRainfallSettings& s, ColorRef packetColor)
{
    ColorRef c = kUnpainted;
    if (set && !s.highlightNOP && !s.highlightASCII) c = packetColor;
    if (s.highlightNOP) {
        if (set) c = b == kNop ? kNopRed : kGrey;
        else if (b == kNop) c = kNopDarkRed;
    }
    if (s.highlightASCII) {
        if (set) c = printable(b) ? kPrintableBlue : kGrey;
        else if (printable(b)) c = kPrintableDarkBlue;
    }
    return c;
}
}

BinaryRainfall::BinaryRainfall(PictureSurface& picGraph, PictureSurface& picGraphBack)
    : picGraph_(picGraph), picGraphBack_(picGraphBack)
{
}

int BinaryRainfall::scaleRange(int value, int range)
{
    if (range <= 0) return 0;
    return roundHalfEven(double(value) * range / 1518.0);
}

void BinaryRainfall::initVis()
{
    currentRow_ = 0;
    picGraph_.cls();
    picGraphBack_.cls();
    hits_.reset(picGraph_.scaleHeight());
}

void BinaryRainfall::Plot(const PacketToDraw& packet)
{
    if (settings.dynamicScroll) {
        // Everything moves down a row, the bottom row drops out and the top row
        // stays blank; the newest packet takes row 1.
        picGraph_.scrollRows(1);
        hits_.scroll(1);
        drawRow(packet, 1);
        return;
    }
    drawRow(packet, currentRow_);
    advanceRow();
}

// Advance, wrapping on the picture so that no packet is drawn out of sight,
// and keep the row under the newest packet blank.
void BinaryRainfall::advanceRow()
{
    currentRow_ = currentRow_ + 1 < picGraph_.scaleHeight() ? currentRow_ + 1 : 0;
    picGraph_.line(0, currentRow_, picGraph_.scaleWidth() - 1, currentRow_, picGraph_.backColor());
    hits_.erase(currentRow_, currentRow_);
}

int64_t BinaryRainfall::packetsKept() const { return std::max(0, picGraph_.scaleHeight() - 1); }

void BinaryRainfall::skip()
{
    if (settings.dynamicScroll) {
        picGraph_.scrollRows(1);
        hits_.scroll(1);
    } else {
        advanceRow();
    }
}

// The row's colours are gathered in run_ and written in one go.
void BinaryRainfall::drawRow(const PacketToDraw& packet, int row)
{
    hits_.mark(row, row, packet.number);
    const int w = picGraph_.scaleWidth();
    const uint8_t* b = packet.bytes;
    int n = 0;
    switch (settings.mode) {
    case RainfallMode::PacketLength:
        picGraph_.line(0, row, scaleRange(packet.len, w), row, packetColour(packet.number));
        return;
    case RainfallMode::Rain24To1:
        // Red, green and blue from three bytes; a trailing group of one or two bytes is dropped.
        n = std::min(packet.len / 3, w);
        run_.resize(size_t(n));
        for (int x = 0; x < n; ++x) run_[size_t(x)] = rgb(b[3 * x], b[3 * x + 1], b[3 * x + 2]);
        break;
    case RainfallMode::Rain8To1:
        n = std::min(packet.len, w);
        run_.resize(size_t(n));
        for (int i = 0; i < n; ++i) run_[size_t(i)] = byteColor(b[i], settings);
        break;
    case RainfallMode::Rain1To1:
        n = bitColors(packet, std::min(packet.len, (w + 7) / 8));
        break;
    }
    picGraph_.setPixels(0, row, run_.data(), n);
}

// The colours of the bits of the first `bytes` bytes into run_, the most
// significant bit of each byte leftmost; returns the number of pixels.
int BinaryRainfall::bitColors(const PacketToDraw& packet, int bytes)
{
    const ColorRef packetColor = packetColour(packet.number);
    run_.resize(size_t(8 * bytes));
    for (int i = 0; i < bytes; ++i) {
        const uint8_t b = packet.bytes[i];
        const ColorRef set = bitColor(b, true, settings, packetColor);
        const ColorRef clear = bitColor(b, false, settings, packetColor);
        for (int bit = 0; bit < 8; ++bit) run_[size_t(8 * i + bit)] = b & (0x80 >> bit) ? set : clear;
    }
    return 8 * bytes;
}

void BinaryRainfallThumbnail::plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target)
{
    PictureSurface& thumb = *target.picture;
    const int w = thumb.scaleWidth();
    const int n = std::min(packet.len, w);
    run_.resize(size_t(n));
    for (int i = 0; i < n; ++i) run_[size_t(i)] = rgb(0, packet.bytes[i], 0);
    thumb.setPixels(0, thumbRow_, run_.data(), n);
    thumbRow_ = advanceThumbRow(thumb, thumbRow_);
}

int64_t BinaryRainfallThumbnail::packetsKept(const ThumbnailTarget& target) const
{
    return thumbRowsKept(*target.picture);
}

void BinaryRainfallThumbnail::skip(const PacketToDraw&, const ThumbnailTarget& target)
{
    thumbRow_ = advanceThumbRow(*target.picture, thumbRow_);
}

void BinaryRainfallThumbnail::clear(const ThumbnailTarget& target)
{
    thumbRow_ = 0;
    target.picture->cls();
}
