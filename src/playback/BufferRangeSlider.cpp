#include "BufferRangeSlider.h"

#include <QKeyEvent>

namespace {
constexpr ColorRef kTrack = rgb(192, 192, 192);
constexpr ColorRef kThumb = rgb(64, 64, 64);
constexpr ColorRef kFocusMark = rgb(255, 255, 255);
}

BufferRangeSlider::BufferRangeSlider(int trackWidth, int trackHeight, QWidget* parent)
    : PictureSurface(parent)
{
    setObjectName("picBufferSlider");
    setFixedSize(trackWidth, trackHeight);
    setBackColor(kTrack);

    const int top = (trackHeight - kThumbSize) / 2;
    auto makeThumb = [&](const char* name, const QString& tip) {
        auto* thumb = new PictureSurface(this);
        thumb->setObjectName(name);
        thumb->setToolTip(tip);
        thumb->setGeometry(0, top, kThumbSize, kThumbSize);
        thumb->setFocusPolicy(Qt::StrongFocus);
        thumb->installEventFilter(this);
        paintThumb(thumb, false);
        return thumb;
    };
    sliderBufferMin = makeThumb("sliderBufferMin", "First packet of the buffer range");
    sliderBufferMax = makeThumb("sliderBufferMax", "Last packet of the buffer range");
    resetThumbs();

    connect(sliderBufferMin, &PictureSurface::mousePressed, this, [this](QPoint at, Qt::MouseButtons b) {
        if (!(b & Qt::LeftButton)) return;
        sliderBufferMinTag = "mindown";
        grabOffset = at.x();
    });
    connect(sliderBufferMax, &PictureSurface::mousePressed, this, [this](QPoint at, Qt::MouseButtons b) {
        if (!(b & Qt::LeftButton)) return;
        sliderBufferMaxTag = "maxdown";
        grabOffset = at.x();
    });
    connect(sliderBufferMin, &PictureSurface::mouseMoved, this, [this](QPoint at, Qt::MouseButtons) {
        if (sliderBufferMinTag == "mindown") dragLower(at.x() - grabOffset);
    });
    connect(sliderBufferMax, &PictureSurface::mouseMoved, this, [this](QPoint at, Qt::MouseButtons) {
        if (sliderBufferMaxTag == "maxdown") dragUpper(at.x() - grabOffset);
    });
    // Only a release that ends a drag picks a range (a stray right click does not).
    connect(sliderBufferMin, &PictureSurface::mouseReleased, this, [this](QPoint, Qt::MouseButtons) {
        if (sliderBufferMinTag == "mindown") letGo();
    });
    connect(sliderBufferMax, &PictureSurface::mouseReleased, this, [this](QPoint, Qt::MouseButtons) {
        if (sliderBufferMaxTag == "maxdown") letGo();
    });
}

int BufferRangeSlider::usable() const { return width() - sliderBufferMin->width() - sliderBufferMax->width(); }
int BufferRangeSlider::minPos() const { return sliderBufferMin->x(); }
int BufferRangeSlider::maxPos() const { return sliderBufferMax->x() - sliderBufferMin->width() + sliderMargin; }

void BufferRangeSlider::resetThumbs()
{
    sliderBufferMinTag.clear();
    sliderBufferMaxTag.clear();
    sliderBufferMin->move(0, sliderBufferMin->y());
    sliderBufferMax->move(width() - sliderBufferMax->width() - sliderMargin, sliderBufferMax->y());
}

void BufferRangeSlider::dragLower(int dx)
{
    const int lowerLeft = sliderBufferMin->x(), lowerWidth = sliderBufferMin->width();
    const int upperLeft = sliderBufferMax->x();
    int left = lowerLeft + dx;
    if (left + lowerWidth >= upperLeft) left = upperLeft - lowerWidth - 1;   // never overlap
    sliderBufferMin->move(std::max(left, 0), sliderBufferMin->y());
}

void BufferRangeSlider::dragUpper(int dx)
{
    const int lowerEnd = sliderBufferMin->x() + sliderBufferMin->width();
    const int rest = width() - sliderBufferMax->width() - sliderMargin;
    int left = sliderBufferMax->x() + dx;
    // The same one-pixel gap as the lower thumb keeps.
    if (left <= lowerEnd) left = lowerEnd + 1;
    else if (left > rest) left = rest;
    sliderBufferMax->move(left, sliderBufferMax->y());
}

void BufferRangeSlider::letGo()
{
    sliderBufferMinTag = "minoff";
    sliderBufferMaxTag.clear();
    emit rangeChosen(minPos(), maxPos(), usable());
}

void BufferRangeSlider::paintThumb(PictureSurface* thumb, bool focused)
{
    thumb->setBackColor(kThumb);
    if (focused) {
        const int e = kThumbSize - 3;
        thumb->line(2, 2, e, 2, kFocusMark);
        thumb->line(2, e, e, e, kFocusMark);
        thumb->line(2, 2, 2, e, kFocusMark);
        thumb->line(e, 2, e, e, kFocusMark);
    }
}

bool BufferRangeSlider::eventFilter(QObject* watched, QEvent* e)
{
    auto* thumb = qobject_cast<PictureSurface*>(watched);
    if (thumb != sliderBufferMin && thumb != sliderBufferMax) return PictureSurface::eventFilter(watched, e);

    switch (e->type()) {
    case QEvent::FocusIn: paintThumb(thumb, true); break;
    case QEvent::FocusOut: paintThumb(thumb, false); break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_Left && key->key() != Qt::Key_Right) break;
        if (e->type() == QEvent::KeyPress) {
            const int step = (key->modifiers() & Qt::ShiftModifier) ? 10 : 1;
            const int dx = key->key() == Qt::Key_Left ? -step : step;
            if (thumb == sliderBufferMin) dragLower(dx);
            else dragUpper(dx);
        } else if (!key->isAutoRepeat()) {
            letGo();   // like letting go of the mouse: one range per key stroke, not per repeat
        }
        return true;
    }
    default: break;
    }
    return PictureSurface::eventFilter(watched, e);
}
