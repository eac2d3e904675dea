#include "SpinButton.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);          // held down, the value keeps stepping
    b->setFocusPolicy(Qt::NoFocus);  // the keys go to the spin button itself
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return b;
}
}

SpinButton::SpinButton(int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(std::max(minimum, maximum)),
      value_(std::clamp(value, min_, max_))
{
    setFocusPolicy(Qt::StrongFocus);
    up_ = arrowButton(Qt::UpArrow, this);
    down_ = arrowButton(Qt::DownArrow, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { setValue(value_ + 1); });
    connect(down_, &QToolButton::clicked, this, [this] { setValue(value_ - 1); });
}

void SpinButton::setValue(int value)
{
    value = std::clamp(value, min_, max_);
    if (value == value_) return;
    value_ = value;
    emit valueChanged(value_);
}

void SpinButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Up: setValue(value_ + 1); break;
    case Qt::Key_Down: setValue(value_ - 1); break;
    case Qt::Key_PageUp: setValue(value_ + 10); break;
    case Qt::Key_PageDown: setValue(value_ - 10); break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void SpinButton::paintEvent(QPaintEvent*)
{
    if (!hasFocus()) return;
    QStylePainter p(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
}

void SpinButton::focusInEvent(QFocusEvent* e)
{
    update();
    QWidget::focusInEvent(e);
}

void SpinButton::focusOutEvent(QFocusEvent* e)
{
    update();
    QWidget::focusOutEvent(e);
}
