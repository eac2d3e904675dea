#pragma once
// The combined view's drawing: a central two-axis plot joining each packet's
// left-field value to its right-field value, and on each side a history of
// that side's values that grows outwards from the centre once per quantum
// (a chosen number of packets). During a quantum the values collect as dots
// in one column of hidden buffers; at its end the visible histories move
// outwards (3 pixels left, 2 pixels right) and take the new column. Its
// thumbnail is a strip of source address prefixes scrolling right.
#include <array>
#include <deque>
#include <vector>

#include "vis/VisWindow.h"
#include "vis/axisSegment.h"

class PictureSurface;

struct CombinedPictures {
    PictureSurface& graph;        // the central plot
    PictureSurface& leftFront;    // the visible histories
    PictureSurface& leftBack;     // their hidden buffers, the same size
    PictureSurface& rightFront;
    PictureSurface& rightBack;
};

class CombinedView {
public:
    explicit CombinedView(const CombinedPictures& pictures);

    // The list index of the left and right axes' fields; -1 for no selection.
    std::array<int, 2> axisField{2, 9};   // "Source IP", "TCP Dest Port"
    bool labels = true;                   // false: the segments without their values' text
    // Packets per quantum, 1..99.
    int packetsPerQuantum = 1;

    void Plot(const PacketToDraw& packet);
    // As Plot, but the histories wait: the quanta it completes move into
    // them, all at once, with the next Plot.
    void skip(const PacketToDraw& packet);
    // Erases all five pictures; the count of the current quantum goes on.
    void clear();

    int quantumCount() const { return quantumCount_; }
    const AxisMark& lastMark(int axis) const { return marks_[size_t(axis - 1)]; }

    // The columns a quantum's dots are drawn in.
    static int leftDotColumn(const PictureSurface& leftBack);
    static constexpr int kRightDotColumn = 1;

private:
    // A quantum's dots, the y on each side and the colour, in their order.
    struct Dot {
        int leftY, rightY;
        ColorRef colour;
    };
    using Column = std::vector<Dot>;

    void drawCentre(const PacketToDraw& packet);
    // Returns true when the packet completed a quantum.
    bool addDot(ColorRef colour);
    void moveHistories();
    void moveWaitingColumns();
    void eraseQuantumDots(const Column& dots);

    CombinedPictures pic_;
    LabelMetrics metrics_;
    int quantumCount_ = 0;
    std::array<AxisMark, 2> marks_;
    Column quantumDots_;             // the current quantum's, also drawn in the buffers
    std::deque<Column> waiting_;     // completed quanta not moved into the histories yet, newest last
    int64_t waitingCount_ = 0;       // how many: the oldest ones no longer kept are off the pictures
};

class CombinedThumbnail : public ThumbnailRenderer {
public:
    void plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    void clear(const ThumbnailTarget& target) override;
    int64_t packetsKept(const ThumbnailTarget& target) const override;
    void skip(const PacketToDraw& packet, const ThumbnailTarget& target) override;

private:
    int64_t waitingMove_ = 0;   // pixels skipped packets moved the strip
};
