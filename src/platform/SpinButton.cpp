#include "SpinButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

SpinButton::SpinButton(int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(std::max(minimum, maximum)), value_(std::clamp(value, min_, max_))
{
    setFocusPolicy(Qt::StrongFocus);
    auto makeArrow = [this](Qt::ArrowType arrow, const char* name) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);   // the spin button itself takes the keys
        return b;
    };
    up_ = makeArrow(Qt::UpArrow, "up");
    down_ = makeArrow(Qt::DownArrow, "down");
    connect(up_, &QToolButton::clicked, this, &SpinButton::stepUp);
    connect(down_, &QToolButton::clicked, this, &SpinButton::stepDown);
    resize(18, 24);
}

void SpinButton::setValue(int v)
{
    v = std::clamp(v, min_, max_);
    if (v == value_) return;
    value_ = v;
    emit valueChanged(value_);
}

void SpinButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Up: stepUp(); break;
    case Qt::Key_Down: stepDown(); break;
    case Qt::Key_PageUp: setValue(value_ + 10); break;
    case Qt::Key_PageDown: setValue(value_ - 10); break;
    case Qt::Key_Home: setValue(min_); break;
    case Qt::Key_End: setValue(max_); break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void SpinButton::paintEvent(QPaintEvent*)
{
    if (!hasFocus()) return;
    // The arrows leave a one-pixel rim free for the keyboard focus mark.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Highlight));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SpinButton::resizeEvent(QResizeEvent*)
{
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const int half = inner.height() / 2;
    up_->setGeometry(inner.left(), inner.top(), inner.width(), half);
    down_->setGeometry(inner.left(), inner.top() + half, inner.width(), inner.height() - half);
}
