#pragma once
// A vertical spin button: an up and a down arrow that step a whole number
// between a minimum and a maximum. It shows no number itself; its owner puts
// the value into a label of its own. Focused, it answers the Up/Down
// (one step) and Page Up/Page Down (ten steps) keys.
#include <QWidget>

class QToolButton;

class SpinButton : public QWidget {
    Q_OBJECT
public:
    SpinButton(int minimum, int maximum, int value, QWidget* parent = nullptr);

    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int value() const { return value_; }
    // Clamped to minimum..maximum; valueChanged follows only a real change.
    void setValue(int value);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    int min_, max_, value_;
    QToolButton* up_;
    QToolButton* down_;
};
