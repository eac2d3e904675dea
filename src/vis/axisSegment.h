#pragma once
// What the field views share: a packet's mark on a field axis, the label
// colours, and the labelled segment between two vertical axes that the
// parallel coordinate plot and the combined view's central plot both draw.
#include <QString>
#include <cstdint>

#include "core/colorRef.h"
#include "core/fieldCatalogue.h"
#include "platform/PictureSurface.h"

// Labels on the dark pictures are printed twice: this grey one pixel right
// and down, then white at the point itself.
constexpr ColorRef kLabelShadow = rgb(64, 64, 64);
constexpr ColorRef kLabelInk = rgb(255, 255, 255);

// Where a packet's value lands on one axis, and how it reads.
struct AxisMark {
    int x = 0;
    int y = 0;
    QString label;
};

// Field `field` of the packet on a vertical axis at x, `extent` pixels high:
// value 0 at the bottom. No selection (field outside 0..17) marks y 0 with
// an empty label.
AxisMark markOnVerticalAxis(int field, int64_t packet, ProtocolLabel style, int x, int extent);

// The measures labels are placed by, taken once from the picture's font.
struct LabelMetrics {
    explicit LabelMetrics(const PictureSurface& picture);
    int widthA;    // on the last axis every character counts as wide as "A"
    int heightA;   // a label that would run off the bottom is lifted by this
};

// The segment from `left` to `right` in `colour`, then both labels in a
// shadow pass and a text pass. A label whose point is too close to the
// bottom edge (of a picture scaleHeight high) goes above it, shadow and
// all; the label of the last axis ends at that axis, counting each
// character as wide as "A". Without `labels`, the segment alone.
void drawAxisSegment(PictureSurface::Sketch& sketch, const AxisMark& left, const AxisMark& right,
                     bool rightIsLast, ColorRef colour, const LabelMetrics& metrics, int scaleHeight,
                     bool labels);
