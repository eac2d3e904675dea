#pragma once
// A menu bar that wraps its menus onto further rows when the window is too
// narrow for one row, instead of hiding them behind an overflow button.
#include <QWidget>

class QMenu;
class QMenuBar;
class QVBoxLayout;

class WrappingMenuBar : public QWidget {
    Q_OBJECT
public:
    explicit WrappingMenuBar(int width, QWidget* parent = nullptr);

    QMenu* addMenu(const QString& title);
    // The menus in display order.
    QList<QMenu*> menus() const { return menus_; }

private:
    void relayout();

    int width_;
    QList<QMenu*> menus_;
    QList<QMenuBar*> rows_;
    QVBoxLayout* layout_;
};
