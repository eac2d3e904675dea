#pragma once
// The window of a view: its caption, object name and menu item come from the
// view registry; it is shown while visible, and its screenshot writes its
// pictures under the registry's file suffixes.
#include "ui/FormWindow.h"
#include "vis/VisWindow.h"

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

protected:
    // Announced to the registry, so a view opened onto a cleared screen shows what was drawn.
    void showEvent(QShowEvent* e) override;

private:
    int viewNumber_;
};
