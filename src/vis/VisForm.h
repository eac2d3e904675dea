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
    void unload() override;

private:
    int viewNumber_;
};
