#include "textRainfall.h"

#include <algorithm>

#include "core/accessors.h"
#include "core/modEncodings.h"
#include "core/packetComments.h"
#include "core/colourRules.h"
#include "core/rounding.h"
#include "platform/PictureSurface.h"

namespace {
constexpr ColorRef kThumbLine = rgb(0, 255, 0);

// Writes "<number>  ", or "<number*>  " for a commented packet, so that it
// ends just before position end; returns where it starts.
int writePrefix(char16_t* buffer, int end, int64_t number, bool commented)
{
    int at = end;
    buffer[--at] = u' ';
    buffer[--at] = u' ';
    buffer[--at] = u'>';
    if (commented) buffer[--at] = u'*';
    uint64_t v = number < 0 ? 0 - uint64_t(number) : uint64_t(number);
    do {
        buffer[--at] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (number < 0) buffer[--at] = u'-';
    buffer[--at] = u'<';
    return at;
}
}

TextRainfall::TextRainfall(PictureSurface& picGraph, PictureSurface& picGraphBack)
    : picGraph_(picGraph), picGraphBack_(picGraphBack)
{
    cellWidth_ = std::max(1, picGraph_.textWidth("S"));
}

int TextRainfall::lineCells() const { return roundHalfEven(double(picGraph_.scaleWidth()) / cellWidth_); }

QString TextRainfall::lastLine() const
{
    return QString(reinterpret_cast<const QChar*>(line_.data() + lineStart_), lineLength_);
}

void TextRainfall::Plot(const PacketToDraw& packet)
{
    picGraph_.setForeColor(packetColour(packet.number));

    rules.cells = lineCells();
    const int length = buildRainLine(line_.data() + kPrefixRoom, packet.bytes, packet.len, rules);

    lineStart_ = kPrefixRoom;
    lineLength_ = length;
    printing_ = packet.number;
    if (rules.mode == RainMode::Ascii) {
        if (length == 0) return;   // an empty character line prints nothing and keeps its row
        if (packet.number != -1) {
            lineStart_ = writePrefix(line_.data(), kPrefixRoom, packet.number, hasPacketComments(packet.number));
            lineLength_ += kPrefixRoom - lineStart_;
        }
    }
    printLine(lineStart_, lineLength_);
}

void TextRainfall::printLine(int start, int length)
{
    // Characters past the right edge are not drawn: a hex line is four times wider than the picture.
    const int visible = std::min(length, picGraph_.scaleWidth() / cellWidth_ + 1);
    if (bandWaiting_) blankBand();
    picGraph_.setCurrentX(0);
    picGraph_.setCurrentY(currentRow_);
    picGraph_.print(QString::fromRawData(reinterpret_cast<const QChar*>(line_.data() + start), visible));
    hits_.mark(currentRow_, currentRow_ + kRowPitch - 1, printing_);
    advanceRow();
}

// Advance, wrapping to the top when fewer than a row's height would remain
// below the next row, then keep the band under the newest line blank.
void TextRainfall::advanceRow()
{
    currentRow_ = nextRow();
    blankBand();
}

int TextRainfall::nextRow() const
{
    return currentRow_ + 2 * kRowPitch <= picGraph_.scaleHeight() ? currentRow_ + kRowPitch : 0;
}

void TextRainfall::blankBand()
{
    picGraph_.fillBox(0, currentRow_, picGraph_.scaleWidth() - 1, currentRow_ + kRowPitch - 1,
                      picGraph_.backColor());
    bandWaiting_ = false;
    hits_.erase(currentRow_, currentRow_ + kRowPitch - 1);
}

bool TextRainfall::linesCanBeEmpty() const
{
    return rules.mode == RainMode::Ascii && (rules.stringsOnly || rules.stripEther || lineCells() < 1);
}

int64_t TextRainfall::packetsKept() const
{
    if (linesCanBeEmpty()) return kKeepsEveryPacket;
    const int rows = std::max(1, picGraph_.scaleHeight() / kRowPitch);   // the rows advanceRow visits
    return rows - 1;
}

// Every row is printed again or blanked by the packets that keep it in
// sight, so only the band under the row where printing goes on next needs
// blanking, once, before that print.
void TextRainfall::skip(const PacketToDraw& packet)
{
    if (linesCanBeEmpty()) {
        Plot(packet);
        return;
    }
    currentRow_ = nextRow();
    bandWaiting_ = true;
}

void TextRainfall::initVis()
{
    currentRow_ = 0;
    bandWaiting_ = false;
    picGraph_.cls();
    picGraphBack_.cls();
    hits_.reset(picGraph_.scaleHeight());
}

int TextRainfallThumbnail::scaleRange(int value, int range)
{
    if (range <= 0) return 0;
    return roundHalfEven(double(value) * range / 1518.0);
}

void TextRainfallThumbnail::plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target)
{
    PictureSurface& thumb = *target.picture;
    const int width = thumb.scaleWidth();
    thumb.line(0, thumbRow_, scaleRange(packet.len, width), thumbRow_, kThumbLine);
    advanceRow(thumb);
}

// The next row, on the picture (row 0 after the last), is erased for the next packet.
void TextRainfallThumbnail::advanceRow(PictureSurface& thumb)
{
    thumbRow_ = thumbRow_ + 1 < thumb.scaleHeight() ? thumbRow_ + 1 : 0;
    thumb.line(0, thumbRow_, thumb.scaleWidth(), thumbRow_, thumb.backColor());
}

int64_t TextRainfallThumbnail::packetsKept(const ThumbnailTarget& target) const
{
    return std::max(0, target.picture->scaleHeight() - 1);
}

void TextRainfallThumbnail::skip(const PacketToDraw&, const ThumbnailTarget& target) { advanceRow(*target.picture); }

void TextRainfallThumbnail::clear(const ThumbnailTarget& target)
{
    thumbRow_ = 0;
    target.picture->cls();
}
