#pragma once
// The playback window over a store of synthetic packets, the way the program
// runs it (the GUI store host writes the window's labels and scroll bar), with
// views that record what the dispatch asks of them in place of the real ones.
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/guiStoreHost.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "playback/frmFilters.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/frames.h"

using Call = RecordingView::Call;

// A base for the playback test classes (they add Q_OBJECT and the slots).
class PlaybackFixture : public QObject {
protected:
    ScriptedDialogs dialogs;   // Yes to every question
    RecordingViews views;
    FrmFilters* w = nullptr;

    static void addPackets(int n)
    {
        const auto frame = frames::ipv4(60, 6);
        for (int i = 0; i < n; ++i) addPacket(frame.data(), int(frame.size()) - 1);
    }
    // Runs what the window queued for the event loop (positions set by hand, buffer ranges).
    static void settle() { QCoreApplication::sendPostedEvents(); }
    static void click(QWidget* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // As the close box does: the window is destroyed.
    static void closeWindow(QWidget* window)
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A store of `packets` packets shown in a new window; the views have recorded nothing.
    void open(int packets)
    {
        setStoreHost(&guiStoreHost());
        resetBuffer("startup");
        addPackets(packets);
        closeWindow(frmFilters());
        w = frmFilters();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        views.forget();
    }
    void finish() { closeWindow(frmFilters()); }

    RecordingView& view(int k = 1) { return views[k]; }
    int position() const { return w->scrPacket->value(); }
    QString counter() const { return w->lblPacketCounter->text(); }
    bool playing() const { return w->tmrPlayTimer->isActive(); }
    void moveTo(int packet)
    {
        w->scrPacket->setValue(packet);
        settle();
    }
};
