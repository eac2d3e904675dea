#pragma once
// The text rainfall's drawing: every packet as one line of characters,
// hexadecimal or decimal numbers, written downwards in its protocol colour and
// starting again at the top, with a blank band kept below the newest line.
// Its thumbnail draws one green line per packet, as long as the packet is large.
#include <QString>
#include <array>

#include "vis/VisWindow.h"
#include "vis/hitIndex.h"
#include "vis/rainfallLine.h"

class PictureSurface;

class TextRainfall {
public:
    // The pictures are the window's; picGraphBack is only ever cleared.
    TextRainfall(PictureSurface& picGraph, PictureSurface& picGraphBack);

    // The controls' state; the window sets it whenever a control changes.
    RainLineRules rules;

    void Plot(const PacketToDraw& packet);
    // The newest packets that can stay in sight: a row each, less the blank
    // band; every packet while a character line can be empty (it keeps its row).
    int64_t packetsKept() const;
    // The row moves on as in Plot, no line printed.
    void skip(const PacketToDraw& packet);
    // A fresh full view: the top row, both pictures erased.
    void initVis();

    // Characters that fit on one line of picGraph.
    int lineCells() const;
    // The text the last Plot printed, packet-number prefix included; empty
    // when it printed nothing.
    QString lastLine() const;
    int currentRow() const { return currentRow_; }
    // Which packet printed each pixel row.
    const RowHits& hits() const { return hits_; }

    static constexpr int kRowPitch = 15;

private:
    void printLine(int start, int length);
    void advanceRow();
    int nextRow() const;
    void blankBand();
    bool linesCanBeEmpty() const;

    PictureSurface& picGraph_;
    PictureSurface& picGraphBack_;
    // Room for "<packet number>  " in front of the line, so the prefix costs no copy.
    static constexpr int kPrefixRoom = 25;   // "<" 20 characters of int64 "*>  "
    std::array<char16_t, kPrefixRoom + kRainLineCapacity> line_{};
    int lineStart_ = kPrefixRoom;
    int lineLength_ = 0;
    int cellWidth_ = 1;
    int currentRow_ = 0;
    bool bandWaiting_ = false;   // skip() moved on without blanking the band under the row
    int32_t printing_ = kNoPacket;
    RowHits hits_;
};

class TextRainfallThumbnail : public ThumbnailRenderer {
public:
    // value / 1518 x range, rounded half to even; 0 when range is not positive.
    static int scaleRange(int value, int range);

    void plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    void clear(const ThumbnailTarget& target) override;
    int64_t packetsKept(const ThumbnailTarget& target) const override;
    void skip(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    int thumbRow() const { return thumbRow_; }

private:
    void advanceRow(PictureSurface& thumb);

    int thumbRow_ = 0;
};
