#include "overviewStrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/modEncodings.h"

namespace {
constexpr int kMargin = 2;   // room for the window's frame at the ends

QColor traffic(TrafficKind kind)
{
    ColorRef c;
    switch (kind) {
    case TrafficKind::Tcp: c = encodingColor(6); break;
    case TrafficKind::Udp: c = encodingColor(17); break;
    case TrafficKind::Icmp: c = encodingColor(1); break;
    case TrafficKind::Other: c = protocolSettings().etherColor; break;
    }
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}
}

OverviewStrip::OverviewStrip(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(320, 64);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::SizeHorCursor);
    setToolTip("The whole file, frame by frame: drag the window to the frames to load");
}

void OverviewStrip::setOverview(const FrameOverview& overview, int64_t frames, const FrameOverview* byTime,
                                int64_t farTimes)
{
    overview_ = overview;
    frames_ = frames;
    byTime_ = byTime ? *byTime : FrameOverview();
    time_.reset();
    if (byTime) time_.emplace(byTime_);
    const QString far = farTimes == 0 ? QString()
                                      : QString(" (%1 frame(s) with times far from the others' at its ends)").arg(farTimes);
    setToolTip(byTime ? "The whole file along its capture time" + far + ": drag the window to the frames to load"
                      : "The whole file, frame by frame: drag the window to the frames to load");
    update();
}

void OverviewStrip::setWindow(int64_t first, int64_t width)
{
    first_ = first;
    width_ = width;
    update();
}

double OverviewStrip::xOf(int64_t frame) const
{
    const double span = width() - 2 * kMargin;
    if (frames_ <= 0) return kMargin;
    return kMargin + span * (time_ ? time_->fractionOf(double(frame - 1)) : double(frame - 1) / double(frames_));
}

double OverviewStrip::frameAt(double x) const
{
    const double fraction = (x - kMargin) / std::max(1, width() - 2 * kMargin);
    return time_ ? time_->frameAt(fraction) : frames_ * fraction;
}

void OverviewStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const int h = height() - 2 * kMargin;
    const auto& bins = shown().bins();
    const double span = width() - 2 * kMargin;
    for (size_t b = 0; b < bins.size(); ++b) {
        // Each bin's column, split from the bottom up by the share of each kind;
        // along the time every bin has the same width.
        const int64_t firstFrame = int64_t(b) * overview_.binWidth() + 1;
        const int x0 = time_ ? int(kMargin + span * double(b) / double(bins.size())) : int(xOf(firstFrame));
        const int x1 = std::max(x0 + 1, time_ ? int(kMargin + span * double(b + 1) / double(bins.size()))
                                              : int(xOf(firstFrame + overview_.binWidth())));
        const double total = std::max<uint32_t>(1, bins[b].total());
        double bottom = kMargin + h;
        for (int k = 0; k < kTrafficKinds; ++k) {
            const double part = h * bins[b].frames[size_t(k)] / total;
            p.fillRect(QRectF(x0, bottom - part, x1 - x0, part), traffic(TrafficKind(k)));
            bottom -= part;
        }
    }
    if (width_ <= 0 || frames_ <= 0) return;
    const double left = xOf(first_), right = std::max(left + 3, xOf(first_ + width_));
    p.fillRect(QRectF(left, 0, right - left, height()), QColor(255, 255, 255, 70));
    p.setPen(QPen(Qt::white, 2));
    p.drawRect(QRectF(left, 1, right - left, height() - 2));
}

void OverviewStrip::mousePressEvent(QMouseEvent* e)
{
    const double x = e->position().x();
    const bool inside = x >= xOf(first_) && x <= xOf(first_ + width_);
    // Taken where it was pressed, or centred under the pointer when pressed beside it.
    grab_ = inside ? frameAt(x) - double(first_ - 1) : double(width_) / 2;
    moveTo(x);
}

void OverviewStrip::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton) moveTo(e->position().x());
}

void OverviewStrip::moveTo(double x)
{
    if (frames_ <= 0) return;
    const int64_t first = std::clamp<int64_t>(int64_t(frameAt(x) - grab_) + 1, 1, std::max<int64_t>(1, frames_ - width_ + 1));
    if (first != first_) emit windowMoved(first);
}
