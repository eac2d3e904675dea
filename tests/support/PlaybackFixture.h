#pragma once
// The playback window over a store of synthetic packets, the way the program
// runs it: the GUI store host writes the window's labels and scroll bar.
#include <QCoreApplication>
#include <QTest>

#include "app/guiStoreHost.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "playback/frmFilters.h"
#include "support/frames.h"

namespace playback {

// An empty store that reports to the playback window.
inline void emptyStore()
{
    setStoreHost(&guiStoreHost());
    resetBuffer("startup");
}

inline void addPackets(int n)
{
    const auto frame = frames::ipv4(60, 6);
    for (int i = 0; i < n; ++i) addPacket(frame.data(), int(frame.size()) - 1);
}

// Runs what the window queued for the event loop (positions set by hand, buffer ranges).
inline void settle() { QCoreApplication::sendPostedEvents(); }

// Closes the playback window (the close box destroys it) and shows a new one.
inline FrmFilters* freshWindow()
{
    frmFilters()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FrmFilters* w = frmFilters();
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) qWarning("playback window not exposed");
    return w;
}

}
