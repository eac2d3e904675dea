#include "axisSegment.h"

AxisMark markOnVerticalAxis(int field, int64_t packet, ProtocolLabel style, int x, int extent)
{
    const FieldSample sample = evaluateField(field, packet, style);
    AxisMark mark;
    mark.x = x;
    if (!sample.selected) return mark;
    mark.y = roundHalfEven(scaleRange(sample.value, fieldRange(field), extent));
    mark.label = QString::fromLatin1(sample.label.data(), qsizetype(sample.label.size()));
    return mark;
}

LabelMetrics::LabelMetrics(const PictureSurface& picture)
    : widthA(picture.textWidth(QStringLiteral("A"))), heightA(picture.textHeight(QStringLiteral("A")))
{
}

void drawAxisSegment(PictureSurface::Sketch& sketch, const AxisMark& left, const AxisMark& right,
                     bool rightIsLast, ColorRef colour, const LabelMetrics& metrics, int scaleHeight,
                     bool labels)
{
    sketch.line(left.x, left.y, right.x, right.y, colour);
    if (!labels) return;
    // Whether a label is lifted is decided once, at its point, so that the
    // shadow always lies one pixel right of and below its text.
    const auto labelTop = [&](int y) { return scaleHeight - metrics.heightA > y ? y : y - metrics.heightA; };
    const int leftTop = labelTop(left.y), rightTop = labelTop(right.y);
    const int rightX = rightIsLast ? right.x - metrics.widthA * int(right.label.size()) : right.x;
    for (int offset : {1, 0}) {
        const ColorRef ink = offset ? kLabelShadow : kLabelInk;
        sketch.text(left.x + offset, leftTop + offset, left.label, ink);
        sketch.text(rightX + offset, rightTop + offset, right.label, ink);
    }
}
