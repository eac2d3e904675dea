// Capturing for real on the loopback adapter: UDP datagrams sent by the test
// arrive through the event loop, each as one packet of the right size.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "acquire/frmCapture.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "platform/CaptureControl.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"

using namespace capture_support;

namespace {
bool waitFor(const std::function<bool()>& done, int ms = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QTest::qWait(5);
    return done();
}

void spin(int microseconds)
{
    QElapsedTimer t;
    t.start();
    while (t.nsecsElapsed() < microseconds * 1000) {}
}
}

class TestCaptureLive : public QObject {
    Q_OBJECT
    LoopbackUdp udp;

    bool startOnLoopback(CaptureControl& control)
    {
        control.setCurrentAdapter({"lo", ""});
        control.setFilter(QString("udp and dst port %1").arg(udp.sinkPort()));
        return control.start();
    }

private slots:
    void initTestCase() { SKIP_UNLESS_CAPTURE_PERMITTED(); }

    void loopbackDatagramsArriveOneByOneWithTheirSizes()
    {
        ScriptedDialogs dialogs;
        resetBuffer("startup");
        QVERIFY(udp.ok());

        FrmCapture* w = frmCapture();
        const int lo = w->cmbInterface->findText("lo");
        QVERIFY2(lo >= 0, "the loopback adapter is not listed");
        w->cmbInterface->setCurrentIndex(lo);
        // lo carries other programs' traffic too: only this test's datagrams count.
        w->txtFilter->setText(QString("udp and dst port %1").arg(udp.sinkPort()));
        w->StartCapture();
        QVERIFY(w->packet->isCapturing());

        // Payload sizes around the store's 1601-byte limit (42 header bytes on lo).
        const std::vector<int> payloads = {0, 1, 100, 1472, 1559, 1560, 3000};
        for (size_t i = 0; i < payloads.size(); ++i) QVERIFY(udp.send(payloads[i], uint8_t(i * 31)));

        QElapsedTimer waited;
        waited.start();
        while (getPacketCount() < int(payloads.size()) && waited.elapsed() < 3000) QTest::qWait(5);
        QCOMPARE(getPacketCount(), int(payloads.size()));

        for (size_t i = 0; i < payloads.size(); ++i) {
            const int64_t n = int64_t(i) + 1;
            const int frameSize = std::min(42 + payloads[i], kSlotBytes);
            QCOMPARE(getPacketLength(n), frameSize - 1);
            QCOMPARE(getIPProtocol(n), uint8_t(17));
            QCOMPARE(getIPTotalLength(n), 28 + payloads[i]);
            QCOMPARE(getUDPSourcePort(n), int(udp.senderPort()));
            QCOMPARE(getUDPDestPort(n), int(udp.sinkPort()));
            QCOMPARE(getSourceIP(n), std::string("127.0.0.1"));
            if (payloads[i] == 0) continue;
            QCOMPARE(getPacketByte(n, 42), uint8_t(i * 31));   // first and last payload bytes held
            QCOMPARE(getPacketByte(n, frameSize - 1), uint8_t(i * 31 + frameSize - 43));
        }

        QTest::qWait(1100);   // one status refresh
        QVERIFY2(w->lblStatus->text().startsWith(QString("Capturing on lo: %1 frames received, 0 dropped")
                                                     .arg(payloads.size())),
                 qPrintable(w->lblStatus->text()));
        w->StopCapture();
        QVERIFY(dialogs.shown.isEmpty());
        delete w;
    }

    void aFloodLeavesTheEventLoopRoomBetweenBatches()
    {
        CaptureControl control;
        QVERIFY(startOnLoopback(control));
        constexpr int kWaiting = 3000;
        for (int i = 0; i < kWaiting; ++i) QVERIFY(udp.send(18, uint8_t(i)));

        int frames = 0, framesWhenTimerRan = -1;
        bool onUiThread = true;
        QTimer other;   // stands for a click or a repaint queued during the flood
        other.setSingleShot(true);
        connect(&other, &QTimer::timeout, this, [&] { framesWhenTimerRan = frames; });
        connect(&control, &CaptureControl::frameArrived, this, [&] {
            onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
            if (++frames == 1) other.start(0);
            spin(10);   // a handler slow enough that all waiting frames take 30 ms
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
        QVERIFY(startOnLoopback(control));
        for (int i = 0; i < 10; ++i) QVERIFY(udp.send(18, uint8_t(i)));
        int frames = 0;
        const auto connection = connect(&control, &CaptureControl::frameArrived, this, [&] {
            if (++frames == 3) control.stop();
        });
        QVERIFY(waitFor([&] { return frames >= 3; }));
        QTest::qWait(50);
        QCOMPARE(frames, 3);
        QVERIFY(!control.isCapturing());
        QCOMPARE(control.counts().received, int64_t(3));

        // A new capture starts cleanly and sees only what comes after it.
        disconnect(connection);
        QVERIFY(startOnLoopback(control));
        int later = 0;
        connect(&control, &CaptureControl::frameArrived, this, [&] { ++later; });
        QVERIFY(udp.send(18, 0));
        QVERIFY(waitFor([&] { return later == 1; }));
        QTest::qWait(50);
        QCOMPARE(later, 1);
    }
};

QTEST_MAIN(TestCaptureLive)
#include "test_capture_live.moc"
