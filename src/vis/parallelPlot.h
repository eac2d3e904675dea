#pragma once
// The parallel coordinate plot's drawing: 2 to 17 vertical field axes spread
// evenly over the picture, every packet a polyline in its protocol colour
// joining its values on consecutive axes, each value labelled at its axis.
// Polylines accumulate until cleared or laid out again. Its thumbnail joins
// source address prefix (left) to destination port (right) in green.
#include <QString>
#include <array>

#include "vis/VisWindow.h"
#include "vis/axisSegment.h"

class PictureSurface;

class ParallelPlot {
public:
    static constexpr int kMinAxes = 2;
    static constexpr int kMaxAxes = 17;

    explicit ParallelPlot(PictureSurface& picGraph);

    // The list index of each axis's field (axis i at [i - 1]); -1 for no
    // selection. The window keeps it current.
    std::array<int, kMaxAxes> axisField{};
    bool labels = true;   // false: the polylines without their values' text

    // Erases the picture and spreads numAxes axes evenly over its width, the
    // first on the left edge and the last on the right (x = width); the
    // interior axes are drawn as grey lines.
    void layoutAxes(int numAxes);
    int numAxes() const { return numAxes_; }
    int axisX(int axis) const { return axisX_[size_t(axis - 1)]; }   // axis 1..numAxes

    void Plot(const PacketToDraw& packet);
    // Erases the polylines and their labels; the axis lines are drawn again.
    void clear();

    // What the last Plot marked on axis 1..numAxes.
    const AxisMark& lastMark(int axis) const { return marks_[size_t(axis - 1)]; }

private:
    PictureSurface& picGraph_;
    LabelMetrics metrics_;
    int numAxes_ = kMinAxes;
    std::array<int, kMaxAxes> axisX_{};
    std::array<AxisMark, kMaxAxes> marks_;
};

class ParallelPlotThumbnail : public ThumbnailRenderer {
public:
    void plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    void clear(const ThumbnailTarget& target) override;
};
