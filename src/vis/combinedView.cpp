#include "combinedView.h"

#include "core/accessors.h"
#include "core/modEncodings.h"
#include "core/rounding.h"
#include "platform/PictureSurface.h"

namespace {
constexpr ColorRef kThumbPoint = rgb(0, 255, 0);
constexpr int kLeftShift = 3;    // pixels the left history moves per quantum
constexpr int kRightShift = 2;   // and the right one
constexpr int kThumbShift = 2;   // pixels the thumbnail strip moves per packet
}

CombinedView::CombinedView(const CombinedPictures& pictures) : pic_(pictures), metrics_(pictures.graph) { clear(); }

int CombinedView::leftDotColumn(const PictureSurface& leftBack) { return leftBack.scaleWidth() - 2; }

void CombinedView::Plot(const PacketToDraw& packet)
{
    const ColorRef colour = encodingColor(getIPProtocol(packet.number));
    const int height = pic_.graph.scaleHeight();
    const std::array<int, 2> axisX{0, pic_.graph.scaleWidth()};
    for (int axis = 1; axis <= 2; ++axis)
        marks_[size_t(axis - 1)] = markOnVerticalAxis(axisField[size_t(axis - 1)], packet.number,
                                                      ProtocolLabel::Decimal, axisX[size_t(axis - 1)], height);
    {
        PictureSurface::Sketch sketch(pic_.graph);
        drawAxisSegment(sketch, marks_[0], marks_[1], true, colour, metrics_, height);
    }
    centreHits_.addSegment(packet.number, marks_[0].x, marks_[0].y, marks_[1].x, marks_[1].y);
    leftHits_.addDot(marks_[0].y, packet.number);
    rightHits_.addDot(marks_[1].y, packet.number);
    updateHistories(marks_[0].y, marks_[1].y, colour);
}

// The front pictures change only when a quantum completes: the older columns
// move outwards and the quantum's column joins them at the inner edge.
//
// The buffers hold nothing but the current quantum's column (they are erased
// at every quantum's end, clear and resize), so shifting each front picture
// in place and copying that column (with the blank columns beside it) across
// gives the same pixels as shifting into the buffer and copying all of it
// back, at a third of the cost.
void CombinedView::updateHistories(int leftY, int rightY, ColorRef colour)
{
    ++quantumCount_;
    PictureSurface &lf = pic_.leftFront, &lb = pic_.leftBack, &rf = pic_.rightFront, &rb = pic_.rightBack;
    lb.pset(leftDotColumn(lb), leftY, colour);
    rb.pset(kRightDotColumn, rightY, colour);
    if (quantumCount_ < packetsPerQuantum) return;

    const int lw = lf.scaleWidth(), rw = rf.scaleWidth();
    // Left: columns 3.. move to 0..; the last kLeftShift + 1 columns come from the buffer.
    PictureSurface::blockCopy(lf, -1, 0, lw - kLeftShift, lf.scaleHeight(), lf, 2, 0);
    PictureSurface::blockCopy(lf, lw - kLeftShift - 1, 0, kLeftShift + 1, lb.scaleHeight(), lb, lw - kLeftShift - 1, 0);
    // Right: columns ..w-3 move to 2..; the first two come from the buffer.
    PictureSurface::blockCopy(rf, kRightShift, 0, rw - kRightShift, rf.scaleHeight(), rf, 0, 0);
    PictureSurface::blockCopy(rf, 0, 0, kRightShift, rb.scaleHeight(), rb, 0, 0);
    lb.fillBox(lw - kLeftShift - 1, 0, lw - 1, lb.scaleHeight() - 1, lb.backColor());
    rb.fillBox(0, 0, kRightShift - 1, rb.scaleHeight() - 1, rb.backColor());
    leftHits_.completeQuantum();
    rightHits_.completeQuantum();
    quantumCount_ = 0;
}

void CombinedView::clear()
{
    for (PictureSurface* p : {&pic_.graph, &pic_.leftFront, &pic_.rightFront, &pic_.leftBack, &pic_.rightBack})
        p->cls();
    centreHits_.reset(pic_.graph.scaleWidth(), pic_.graph.scaleHeight());
    leftHits_.reset(pic_.leftFront.scaleWidth(), leftDotColumn(pic_.leftBack), -kLeftShift);
    rightHits_.reset(pic_.rightFront.scaleWidth(), kRightDotColumn, kRightShift);
}

void CombinedThumbnail::plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target)
{
    PictureSurface &thumb = *target.picture, &back = *target.back;
    const int prefix = getSourceIPByte(packet.number, 1) * 256 + getSourceIPByte(packet.number, 2);
    const int y = roundHalfEven(scaleRange(prefix, 65536, thumb.scaleHeight()));
    PictureSurface::blockCopy(back, kThumbShift, 0, thumb.scaleWidth() - kThumbShift, thumb.scaleHeight(), thumb, 0, 0);
    back.pset(1, y, kThumbPoint);
    thumb.cls();
    PictureSurface::blockCopy(thumb, 0, 0, back.scaleWidth(), back.scaleHeight(), back, 0, 0);
    back.cls();
}

void CombinedThumbnail::clear(const ThumbnailTarget& target) { target.picture->cls(); }
