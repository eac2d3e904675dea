#include "parallelPlot.h"

#include <algorithm>
#include <numeric>

#include "core/accessors.h"
#include "core/colourRules.h"
#include "core/rounding.h"
#include "platform/PictureSurface.h"

namespace {
constexpr ColorRef kAxisLine = rgb(64, 64, 64);
constexpr ColorRef kThumbLine = rgb(0, 255, 0);
}

ParallelPlot::ParallelPlot(PictureSurface& picGraph) : picGraph_(picGraph), metrics_(picGraph)
{
    std::iota(axisField.begin(), axisField.end(), 0);   // axis i shows field i - 1
}

void ParallelPlot::layoutAxes(int numAxes)
{
    numAxes_ = std::clamp(numAxes, kMinAxes, kMaxAxes);
    const int width = picGraph_.scaleWidth();
    for (int k = 1; k <= numAxes_; ++k)
        axisX_[size_t(k - 1)] = roundHalfEven(double(k - 1) / (numAxes_ - 1) * width);
    clear();
}

void ParallelPlot::Plot(const PacketToDraw& packet)
{
    const ColorRef colour = packetColour(packet.number);
    const int height = picGraph_.scaleHeight();
    for (int i = 1; i <= numAxes_; ++i)
        marks_[size_t(i - 1)] =
            markOnVerticalAxis(axisField[size_t(i - 1)], packet.number, ProtocolLabel::Keyword, axisX(i), height);

    PictureSurface::Sketch sketch(picGraph_);
    for (int j = 1; j < numAxes_; ++j)
        hits_.addSegment(packet.number, marks_[size_t(j - 1)].x, marks_[size_t(j - 1)].y, marks_[size_t(j)].x,
                         marks_[size_t(j)].y);
    for (int j = 1; j < numAxes_; ++j)
        drawAxisSegment(sketch, marks_[size_t(j - 1)], marks_[size_t(j)], j + 1 >= numAxes_, colour, metrics_,
                        height, labels);
}

void ParallelPlot::clear()
{
    picGraph_.cls();
    // A plot without its axes would be a wrong picture. The first and last
    // axes lie on the picture's edges and get no line.
    for (int k = 2; k < numAxes_; ++k) picGraph_.line(axisX(k), 0, axisX(k), picGraph_.scaleHeight(), kAxisLine);
    hits_.reset(picGraph_.scaleWidth(), picGraph_.scaleHeight());
}

void ParallelPlotThumbnail::plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target)
{
    PictureSurface& thumb = *target.picture;
    const int h = thumb.scaleHeight();
    const int prefix = getSourceIPByte(packet.number, 1) * 256 + getSourceIPByte(packet.number, 2);
    // A packet that is not TCP has a TCP port of 0 (or its slot's older one); then the UDP port counts.
    int32_t port = getTCPDestPort(packet.number);
    if (port == 0) port = getUDPDestPort(packet.number);
    const int yLeft = roundHalfEven(scaleRange(prefix, 65536, h));
    const int yRight = roundHalfEven(scaleRange(port, 65536, h));
    thumb.line(0, yLeft, thumb.scaleWidth(), yRight, kThumbLine);
}

void ParallelPlotThumbnail::clear(const ThumbnailTarget& target) { target.picture->cls(); }
