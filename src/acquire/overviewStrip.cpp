#include "overviewStrip.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "core/modEncodings.h"

namespace {
constexpr int kMargin = 2;   // room for the window's frame at the ends
constexpr int kMatchBand = 12;   // the band above the mix where matches are marked
constexpr int kMatchGap = 3;     // black between the marks and the mix, so that no colour of it runs into them
const QColor kMatchColor(Qt::white);   // no encoding colour: those are the user's to choose

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

void OverviewStrip::setTimeOrigin(CaptureTime origin) { origin_ = origin; }

void OverviewStrip::setMatches(std::vector<int64_t> perBin)
{
    matches_ = std::move(perBin);
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
    const int band = matches_.empty() ? 0 : kMatchBand;
    const int h = height() - 2 * kMargin - band;
    const auto& bins = shown().bins();
    // Marks grow with the log of the count, so that a single match shows beside thousands.
    const double most = std::log1p(double(matches_.empty() ? 0 : *std::max_element(matches_.begin(), matches_.end())));
    const double span = width() - 2 * kMargin;
    for (size_t b = 0; b < bins.size(); ++b) {
        // Each bin's column, split from the bottom up by the share of each kind;
        // along the time every bin has the same width.
        const int64_t firstFrame = int64_t(b) * overview_.binWidth() + 1;
        const int x0 = time_ ? int(kMargin + span * double(b) / double(bins.size())) : int(xOf(firstFrame));
        const int x1 = std::max(x0 + 1, time_ ? int(kMargin + span * double(b + 1) / double(bins.size()))
                                              : int(xOf(firstFrame + overview_.binWidth())));
        const double total = std::max<uint32_t>(1, bins[b].total());
        if (b < matches_.size() && matches_[b] > 0) {
            const double room = band - kMatchGap;
            const double mark = std::max(3.0, room * std::log1p(double(matches_[b])) / std::max(most, 1e-9));
            p.fillRect(QRectF(x0, kMargin + room - mark, std::max(2, x1 - x0), mark), kMatchColor);
        }
        double bottom = height() - kMargin;
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

size_t OverviewStrip::binAt(double x) const
{
    const size_t bins = shown().bins().size();
    if (bins == 0) return 0;
    const double fraction = std::clamp((x - kMargin) / std::max(1, width() - 2 * kMargin), 0.0, 1.0);
    if (time_) return std::min(bins - 1, size_t(fraction * double(bins)));
    return std::min(bins - 1, size_t(std::max(0.0, frameAt(x)) / double(overview_.binWidth())));
}

QString OverviewStrip::pointerText(double x) const
{
    const int64_t frame = std::clamp<int64_t>(int64_t(frameAt(x)) + 1, 1, frames_);
    QString text = QString("Frame %1").arg(frame);
    if (time_ && origin_ != kNoTime) {
        const double fraction = std::clamp((x - kMargin) / std::max(1, width() - 2 * kMargin), 0.0, 1.0);
        const double after = fraction * double(shown().bins().size()) * double(byTime_.binWidth());
        text += " at " + QString::fromStdString(localTimeText(origin_ + int64_t(after)));
    }
    if (const size_t b = binAt(x); b < matches_.size()) text += QString("; %1 matching here").arg(matches_[b]);
    return text + "\n" + toolTip();
}

bool OverviewStrip::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip || frames_ <= 0) return QWidget::event(e);
    const auto* help = static_cast<QHelpEvent*>(e);
    QToolTip::showText(help->globalPos(), pointerText(help->pos().x()), this);
    return true;
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
