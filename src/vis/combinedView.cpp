#include "combinedView.h"

#include <algorithm>

#include "core/accessors.h"
#include "core/colourRules.h"
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

void CombinedView::drawCentre(const PacketToDraw& packet)
{
    const ColorRef colour = packetColour(packet.number);
    const int height = pic_.graph.scaleHeight();
    const std::array<int, 2> axisX{0, pic_.graph.scaleWidth()};
    for (int axis = 1; axis <= 2; ++axis)
        marks_[size_t(axis - 1)] = markOnVerticalAxis(axisField[size_t(axis - 1)], packet.number,
                                                      ProtocolLabel::Decimal, axisX[size_t(axis - 1)], height);
    PictureSurface::Sketch sketch(pic_.graph);
    drawAxisSegment(sketch, marks_[0], marks_[1], true, colour, metrics_, height, labels);
    centreHits_.addSegment(packet.number, marks_[0].x, marks_[0].y, marks_[1].x, marks_[1].y);
}

void CombinedView::Plot(const PacketToDraw& packet)
{
    drawCentre(packet);
    moveWaitingColumns();
    if (addDot(packet.number, packetColour(packet.number))) moveHistories();
}

void CombinedView::skip(const PacketToDraw& packet)
{
    drawCentre(packet);
    if (!addDot(packet.number, packetColour(packet.number))) return;
    waiting_.push_back(std::move(quantumDots_));
    quantumDots_.clear();
    ++waitingCount_;
    // Only the quanta that can still reach the pictures are kept.
    const size_t reach = size_t(std::max(pic_.leftFront.scaleWidth() / kLeftShift, pic_.rightFront.scaleWidth() / kRightShift)) + 2;
    while (waiting_.size() > reach) waiting_.pop_front();
    eraseQuantumDots(waiting_.back());
}

// The packet's dot joins the quantum's column in the buffers.
bool CombinedView::addDot(int64_t packet, ColorRef colour)
{
    quantumDots_.push_back({marks_[0].y, marks_[1].y, colour});
    pic_.leftBack.pset(leftDotColumn(pic_.leftBack), marks_[0].y, colour);
    pic_.rightBack.pset(kRightDotColumn, marks_[1].y, colour);
    leftHits_.addDot(marks_[0].y, int32_t(packet));
    rightHits_.addDot(marks_[1].y, int32_t(packet));
    if (++quantumCount_ < packetsPerQuantum) return false;
    quantumCount_ = 0;
    leftHits_.completeQuantum();
    rightHits_.completeQuantum();
    return true;
}

// The front pictures change only when a quantum completes: the older columns
// move outwards and the quantum's column joins them at the inner edge.
//
// The buffers hold nothing but the current quantum's column (its dots are
// erased at every quantum's end, the buffers at clear and resize), so shifting each front picture
// in place and copying that column (with the blank columns beside it) across
// gives the same pixels as shifting into the buffer and copying all of it
// back, at a third of the cost.
void CombinedView::moveHistories()
{
    PictureSurface &lf = pic_.leftFront, &lb = pic_.leftBack, &rf = pic_.rightFront, &rb = pic_.rightBack;
    const int lw = lf.scaleWidth(), rw = rf.scaleWidth();
    // Left: columns 3.. move to 0..; the last kLeftShift + 1 columns come from the buffer.
    PictureSurface::blockCopy(lf, -1, 0, lw - kLeftShift, lf.scaleHeight(), lf, 2, 0);
    PictureSurface::blockCopy(lf, lw - kLeftShift - 1, 0, kLeftShift + 1, lb.scaleHeight(), lb, lw - kLeftShift - 1, 0);
    // Right: columns ..w-3 move to 2..; the first two come from the buffer.
    PictureSurface::blockCopy(rf, kRightShift, 0, rw - kRightShift, rf.scaleHeight(), rf, 0, 0);
    PictureSurface::blockCopy(rf, 0, 0, kRightShift, rb.scaleHeight(), rb, 0, 0);
    eraseQuantumDots(quantumDots_);
    quantumDots_.clear();
}

// The buffers' columns were blank but for the quantum's dots: blanking the
// dots leaves what blanking the columns would.
void CombinedView::eraseQuantumDots(const Column& dots)
{
    const int leftX = leftDotColumn(pic_.leftBack);
    for (const Dot& dot : dots) {
        pic_.leftBack.pset(leftX, dot.leftY, pic_.leftBack.backColor());
        pic_.rightBack.pset(kRightDotColumn, dot.rightY, pic_.rightBack.backColor());
    }
}

// The quanta skip() completed, moved in at once: what their moves one by one
// leave, as the histories' outermost columns are always blank (they only
// ever receive the buffers' blank columns) and a quantum's column keeps its
// dots as it moves.
void CombinedView::moveWaitingColumns()
{
    if (waitingCount_ == 0) return;
    PictureSurface &lf = pic_.leftFront, &rf = pic_.rightFront;
    const int lw = lf.scaleWidth(), rw = rf.scaleWidth(), lh = lf.scaleHeight(), rh = rf.scaleHeight();
    const int64_t leftMove = std::min<int64_t>(waitingCount_ * kLeftShift, lw);
    const int64_t rightMove = std::min<int64_t>(waitingCount_ * kRightShift, rw);
    PictureSurface::blockCopy(lf, 0, 0, int(lw - leftMove), lh, lf, int(leftMove), 0);
    lf.fillBox(int(lw - leftMove), 0, lw - 1, lh - 1, lf.backColor());
    PictureSurface::blockCopy(rf, int(rightMove), 0, int(rw - rightMove), rh, rf, 0, 0);
    rf.fillBox(0, 0, int(rightMove) - 1, rh - 1, rf.backColor());
    // The newest waiting quantum sits where a quantum enters; each older one a move further out.
    int64_t age = int64_t(waiting_.size()) - 1;
    for (const Column& column : waiting_) {
        const int64_t leftX = leftDotColumn(pic_.leftBack) - age * kLeftShift;
        const int64_t rightX = kRightDotColumn + age * kRightShift;
        for (const Dot& dot : column) {
            if (leftX >= 0) lf.pset(int(leftX), dot.leftY, dot.colour);
            if (rightX < rw) rf.pset(int(rightX), dot.rightY, dot.colour);
        }
        --age;
    }
    waiting_.clear();
    waitingCount_ = 0;
}

void CombinedView::clear()
{
    quantumDots_.clear();
    waiting_.clear();
    waitingCount_ = 0;
    for (PictureSurface* p : {&pic_.graph, &pic_.leftFront, &pic_.rightFront, &pic_.leftBack, &pic_.rightBack})
        p->cls();
    centreHits_.reset(pic_.graph.scaleWidth(), pic_.graph.scaleHeight());
    leftHits_.reset(pic_.leftFront.scaleWidth(), leftDotColumn(pic_.leftBack), -kLeftShift);
    rightHits_.reset(pic_.rightFront.scaleWidth(), kRightDotColumn, kRightShift);
}

// The strip moves right in place, the columns it uncovers blank: what moving
// it through the blank drawing buffer and back leaves. The moves of skipped
// packets are made in one with the next drawn one's.
void CombinedThumbnail::plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target)
{
    PictureSurface& thumb = *target.picture;
    const int w = thumb.scaleWidth(), h = thumb.scaleHeight();
    const int prefix = getSourceIPByte(packet.number, 1) * 256 + getSourceIPByte(packet.number, 2);
    const int y = roundHalfEven(scaleRange(prefix, 65536, h));
    const int move = int(std::min<int64_t>(waitingMove_ + kThumbShift, w));
    waitingMove_ = 0;
    PictureSurface::blockCopy(thumb, move, 0, w - move, h, thumb, 0, 0);
    thumb.fillBox(0, 0, move - 1, h - 1, thumb.backColor());
    thumb.pset(1, y, kThumbPoint);
}

int64_t CombinedThumbnail::packetsKept(const ThumbnailTarget& target) const
{
    return (target.picture->scaleWidth() - 2) / kThumbShift + 1;   // the point moves from column 1 to the edge
}

void CombinedThumbnail::skip(const PacketToDraw&, const ThumbnailTarget& target)
{
    waitingMove_ = std::min<int64_t>(waitingMove_ + kThumbShift, target.picture->scaleWidth());
}

void CombinedThumbnail::clear(const ThumbnailTarget& target)
{
    waitingMove_ = 0;
    target.picture->cls();
}
