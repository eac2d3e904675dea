#pragma once
// A vertical spin button: an up and a down arrow that step an integer value
// between a minimum and a maximum. It shows no number itself; the window shows
// the value in a label of its own. Up/Down and Page Up/Page Down step it from
// the keyboard, Home/End jump to the limits.
#include <QWidget>

class QToolButton;

class SpinButton : public QWidget {
    Q_OBJECT
public:
    SpinButton(int minimum, int maximum, int value, QWidget* parent = nullptr);

    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int value() const { return value_; }
    // Clamped to minimum..maximum; valueChanged only when the value really changes.
    void setValue(int v);
    void stepUp() { setValue(value_ + 1); }
    void stepDown() { setValue(value_ - 1); }

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }

private:
    QToolButton* up_;
    QToolButton* down_;
    int min_, max_, value_;
};
