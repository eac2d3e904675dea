#pragma once
// The scatter plot's drawing: every packet a small disc in its protocol
// colour at the values of two chosen fields (vertical and horizontal),
// labelled "horizontal,vertical". Points accumulate until cleared. Its
// thumbnail plots source address prefix against packet length in green.
#include <QPoint>
#include <QString>
#include <array>

#include "vis/VisWindow.h"

class PictureSurface;

class ScatterPlot {
public:
    explicit ScatterPlot(PictureSurface& picGraph);

    // The list index of the field on axis 1 (vertical) and axis 2
    // (horizontal); -1 for no selection. The window keeps it current.
    std::array<int, 2> axisField{0, 1};
    bool labels = true;   // false: the points without their values' text

    // Axis 1 (vertical): value 0 at the bottom; axis 2 (horizontal): value 0
    // at the left; any other axis number, or no extent, gives 0.
    static double scaleRange(int counter, double actualValue, double maxRange, double displayValue);

    void Plot(const PacketToDraw& packet);
    void clear();

    // Where the last Plot put its point and what it printed there.
    QPoint lastPoint() const { return lastPoint_; }
    const QString& lastLabel() const { return lastLabel_; }

    static constexpr int kRadius = 2;

private:
    PictureSurface& picGraph_;
    QPoint lastPoint_;
    QString lastLabel_;
};

class ScatterPlotThumbnail : public ThumbnailRenderer {
public:
    void plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target) override;
    void clear(const ThumbnailTarget& target) override;
};
