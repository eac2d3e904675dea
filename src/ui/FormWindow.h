#pragma once
// The common behaviour of the program's windows: one application-wide
// instance each, created hidden on first reference; a close box destroys the
// window and the next reference creates it afresh with its defaults.
#include <QPointer>
#include <QString>
#include <QWidget>

// Where windows announce their unload; the main window listens and clears the
// window's menu check mark.
class FormEvents : public QObject {
    Q_OBJECT
signals:
    void unloaded(const QString& menuItem);
};
FormEvents& formEvents();

class FormWindow : public QWidget {
    Q_OBJECT
public:
    // menuItem: the main-window menu item whose check mark tracks this window
    // (empty for windows that have none).
    FormWindow(const QString& objectName, const QString& caption, const QString& menuItem = {});

    const QString& menuItemName() const { return menuItem_; }
    // True from the close box on: the window is on its way out and the next
    // reference must create a new one.
    bool isClosing() const { return closing_; }

protected:
    // The window's own unload work (stopping a capture, say), run by the close box
    // before the unload is announced.
    virtual void unload() {}
    void closeEvent(QCloseEvent* e) override;
    // Enter presses the focused button, as Space does.
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString menuItem_;
    bool closing_ = false;
};

// The one instance of W behind an accessor such as frmVis1().
template <class W>
W* formInstance(QPointer<W>& instance)
{
    if (!instance || instance->isClosing()) instance = new W;
    return instance;
}

// True when W's instance exists and is not closing; does not create it.
template <class W>
bool formExists(const QPointer<W>& instance) { return instance && !instance->isClosing(); }
