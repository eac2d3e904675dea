#include "focusFrame.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {
class FocusFrame final : public QWidget {
public:
    explicit FocusFrame(QWidget* control) : QWidget(control)
    {
        setObjectName("focusFrame");
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        control->installEventFilter(this);
        follow(control);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        auto* control = static_cast<QWidget*>(watched);
        switch (e->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Resize: follow(control); break;
        default: break;
        }
        return false;
    }
    void paintEvent(QPaintEvent*) override
    {
        // Two pixels in the highlight colour inside a dark one: it reads on
        // black pictures and on light controls alike.
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }

private:
    void follow(QWidget* control)
    {
        setGeometry(control->rect());
        setVisible(control->hasFocus());
        raise();
    }
};
}

void addFocusFrame(QWidget* control) { new FocusFrame(control); }

bool pressFocusedButton(QWidget* window, QKeyEvent* e)
{
    if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) return false;
    auto* button = qobject_cast<QAbstractButton*>(window->focusWidget());
    if (!button || !button->isEnabled() || !button->isVisible()) return false;
    button->click();
    return true;
}
