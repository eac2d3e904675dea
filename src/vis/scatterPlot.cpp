#include "scatterPlot.h"

#include "core/accessors.h"
#include "core/fieldCatalogue.h"
#include "core/colourRules.h"
#include "platform/PictureSurface.h"
#include "vis/axisSegment.h"

namespace {
constexpr ColorRef kThumbPoint = rgb(0, 255, 0);
}

ScatterPlot::ScatterPlot(PictureSurface& picGraph) : picGraph_(picGraph) { clear(); }

double ScatterPlot::scaleRange(int counter, double actualValue, double maxRange, double displayValue)
{
    switch (counter) {
    case 1: return ::scaleRange(actualValue, maxRange, displayValue);
    case 2: return scaleRangeHorizontal(actualValue, maxRange, displayValue);
    default: return 0;
    }
}

void ScatterPlot::Plot(const PacketToDraw& packet)
{
    const ColorRef colour = packetColour(packet.number);
    const std::array<int, 2> extent{picGraph_.scaleHeight(), picGraph_.scaleWidth()};
    std::array<int, 2> position{0, 0};
    std::array<std::string, 2> label;
    for (int axis = 1; axis <= 2; ++axis) {
        const int field = axisField[size_t(axis - 1)];
        FieldSample sample = evaluateField(field, packet.number, ProtocolLabel::Decimal);
        if (!sample.selected) continue;   // position 0, empty label
        position[size_t(axis - 1)] =
            roundHalfEven(scaleRange(axis, sample.value, fieldRange(field), extent[size_t(axis - 1)]));
        label[size_t(axis - 1)] = std::move(sample.label);
    }

    const int x = position[1], y = position[0];
    lastPoint_ = {x, y};
    lastLabel_ = QString::fromLatin1(label[1] + "," + label[0]);   // horizontal value first
    PictureSurface::Sketch sketch(picGraph_);
    sketch.filledCircle(x, y, kRadius, colour);
    hits_.addDisc(packet.number, x, y, kRadius);
    if (!labels) return;
    sketch.text(x + 1, y + 1, lastLabel_, kLabelShadow);
    sketch.text(x, y, lastLabel_, kLabelInk);
}

void ScatterPlot::clear()
{
    picGraph_.cls();
    hits_.reset(picGraph_.scaleWidth(), picGraph_.scaleHeight());
}

void ScatterPlotThumbnail::plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target)
{
    PictureSurface& thumb = *target.picture;
    const int prefix = getSourceIPByte(packet.number, 1) * 256 + getSourceIPByte(packet.number, 2);
    const int y = roundHalfEven(ScatterPlot::scaleRange(1, prefix, 65536, thumb.scaleHeight()));
    const int x = roundHalfEven(ScatterPlot::scaleRange(2, getPacketLength(packet.number), 1518, thumb.scaleWidth()));
    thumb.pset(x, y, kThumbPoint);
}

void ScatterPlotThumbnail::clear(const ThumbnailTarget& target) { target.picture->cls(); }
