// The capture control on the loopback adapter: a flood of waiting frames
// leaves the event loop room, and a stop from a frame handler holds at once.
#include <QTest>
#include <QThread>
#include <QTimer>

#include "platform/CaptureControl.h"
#include "support/captureSupport.h"

using namespace capture_support;

class TestCaptureLive : public QObject {
    Q_OBJECT
    LoopbackUdp udp;

    // Captures this test's datagrams only: lo carries other programs' traffic too.
    bool startOnLoopback(CaptureControl& control, int datagrams)
    {
        control.setCurrentAdapter({"lo", ""});
        control.setFilter(QString("udp and dst port %1").arg(udp.sinkPort()));
        if (!control.start()) return false;
        for (int i = 0; i < datagrams; ++i)
            if (!udp.send(18, uint8_t(i))) return false;
        return true;
    }

private slots:
    void initTestCase()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        QVERIFY(udp.ok());
    }

    void aFloodLeavesTheEventLoopRoomBetweenBatches()
    {
        CaptureControl control;
        constexpr int kWaiting = 3000;
        QVERIFY(startOnLoopback(control, kWaiting));
        int frames = 0, framesWhenTimerRan = -1;
        bool onUiThread = true;
        QTimer other;   // stands for a click or a repaint queued during the flood
        other.setSingleShot(true);
        connect(&other, &QTimer::timeout, this, [&] { framesWhenTimerRan = frames; });
        connect(&control, &CaptureControl::frameArrived, this, [&] {
            onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
            if (++frames == 1) other.start(0);
            QElapsedTimer slow;   // a handler slow enough that all waiting frames take 30 ms
            for (slow.start(); slow.nsecsElapsed() < 10000;) {}
        });
        QVERIFY(waitFor([&] { return frames == kWaiting; }));
        QVERIFY(onUiThread);
        // The timer ran between two slices, long before the backlog was handled.
        QVERIFY2(framesWhenTimerRan > 0 && framesWhenTimerRan < kWaiting / 2, qPrintable(QString::number(framesWhenTimerRan)));
        QCOMPARE(control.counts().dropped, uint64_t(0));
    }

    void stopFromAFrameHandlerEndsDeliveryAtOnce()
    {
        CaptureControl control;
        QVERIFY(startOnLoopback(control, 10));
        int frames = 0;
        connect(&control, &CaptureControl::frameArrived, this, [&] {
            if (++frames == 3) control.stop();
        });
        QVERIFY(waitFor([&] { return frames >= 3; }));
        QTest::qWait(50);
        QCOMPARE(frames, 3);
        QVERIFY(!control.isCapturing());
        QCOMPARE(control.counts().received, int64_t(3));
    }
};

QTEST_MAIN(TestCaptureLive)
#include "test_capture_live.moc"
