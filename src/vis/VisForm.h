#pragma once
// The window of a view: its caption, object name and menu item come from the
// view registry; it is shown while visible, and its screenshot writes its
// pictures under the registry's file suffixes. Its pictures name the packets
// under the pointer in their tool tip, choose the packet clicked, outline
// the chosen packet's marks, and offer what can be done with a packet in
// their context menu.
#include "ui/FormWindow.h"
#include "vis/VisWindow.h"

class QMenu;
class QString;
struct ScreenshotLog;

class VisForm : public FormWindow, public VisWindow {
    Q_OBJECT
public:
    explicit VisForm(int viewNumber);

    int viewNumber() const { return viewNumber_; }
    bool isShown() const override { return isVisible(); }
    // Writes the view's screenshot files named systemTime + suffix.
    void ScreenShot(const QString& systemTime, ScreenshotLog& log) const;

    // The tool tip at pos on screenshot picture `picture`: a line for each
    // packet under the pointer, topmost first; empty where none drew.
    virtual QString pointerText(int picture, QPoint pos) const;

    // How near the pointer a point or line must lie to count as under it.
    static constexpr int kReach = 3;
    // Tool tips name at most this many packets, then how many more there are.
    static constexpr int kMostNamed = 8;

protected:
    // Announced to the registry, so a view opened onto a cleared screen shows what was drawn.
    void showEvent(QShowEvent* e) override;
    // Up and Down on a focused picture choose the drawn packet before or after; Escape unchooses.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void unload() override;

private:
    void watchPictures();
    void pictureHovered(int picture, QPoint pos);
    void outlineChosen(int64_t packet);
    // The pictures' context menu for a packet (0: none).
    void addPacketEntries(QMenu& menu, int64_t packet);

    int viewNumber_;
    bool watching_ = false;
    QList<QString> ownToolTips_;   // each picture's tool tip where no packet drew
};
