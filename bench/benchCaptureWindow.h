#pragma once
// What the benchmarks of the capture window share: the program set up as it
// starts (offscreen when there is no display, the overwrite question answered
// Yes, the main window shown), the capture window, the seven views shown, and
// the program's own way of ending.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "acquire/frmCapture.h"
#include "app/frmMain.h"
#include "platform/DialogLayer.h"
#include "vis/VisForm.h"
#include "vis/viewRegistry.h"

// The overwrite question at every new run is answered Yes; a message is printed.
class YesDialogs : public DialogLayer {
public:
    MsgResult messageBox(const QString& text, const QString&, MsgButtons buttons, MsgIcon) override
    {
        if (buttons == MsgButtons::Ok) std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    ColorRef chooseColor(ColorRef initial, const QString&) override { return initial; }
};

// Before the QApplication is made: without a display, the offscreen platform.
inline void offscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The dialogs answered Yes, the main window shown as at start-up, then the capture window.
inline FrmCapture* showCaptureWindow()
{
    static YesDialogs dialogs;
    installDialogs(&dialogs);
    frmMain()->show();
    FrmCapture* w = frmCapture();
    w->show();
    return w;
}

inline void showAllViews()
{
    for (const ViewRow& row : viewRows()) row.window()->show();
}

// As the program itself ends: what is printed is out, nothing is torn down.
[[noreturn]] inline void endAsTheProgramDoes()
{
    std::fflush(stdout);
    std::_Exit(0);
}
