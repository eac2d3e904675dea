// Capturing for real on the loopback adapter: UDP datagrams sent by the test
// arrive through the event loop, each as one packet of the right size.
#include <QComboBox>
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

class TestCaptureLive : public QObject {
    Q_OBJECT
    LoopbackUdp udp;
    // lo carries other programs' traffic too: only this test's datagrams count.
    QString onlyOurs() const { return QString("udp and dst port %1").arg(udp.sinkPort()); }

    bool startOnLoopback(CaptureControl& control)
    {
        control.setCurrentAdapter({"lo", ""});
        control.setFilter(onlyOurs());
        return control.start();
    }

private slots:
    void initTestCase()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        QVERIFY(udp.ok());
    }

    void loopbackDatagramsArriveOneByOneWithTheirSizes()
    {
        ScriptedDialogs dialogs;
        resetBuffer("startup");
        FrmCapture* w = frmCapture();
        const int lo = w->cmbInterface->findText("lo");
        QVERIFY2(lo >= 0, "the loopback adapter is not listed");
        w->cmbInterface->setCurrentIndex(lo);
        w->txtFilter->setText(onlyOurs());
        w->StartCapture();
        QVERIFY(w->packet->isCapturing());

        // Payload sizes around the store's 1601-byte limit (42 header bytes on lo).
        const std::vector<int> payloads = {0, 1, 100, 1472, 1559, 1560, 3000};
        for (size_t i = 0; i < payloads.size(); ++i) QVERIFY(udp.send(payloads[i], uint8_t(i * 31)));
        waitFor([&] { return getPacketCount() >= int(payloads.size()); });
        QCOMPARE(getPacketCount(), int(payloads.size()));

        for (size_t i = 0; i < payloads.size(); ++i) {
            const int64_t n = int64_t(i) + 1;
            const int frameSize = std::min(42 + payloads[i], kSlotBytes);
            QCOMPARE(getPacketLength(n), frameSize - 1);
            QCOMPARE(getIPProtocol(n), uint8_t(17));
            QCOMPARE(getIPTotalLength(n), 28 + payloads[i]);
            QCOMPARE(getUDPSourcePort(n), int(udp.senderPort()));
            QCOMPARE(getUDPDestPort(n), int(udp.sinkPort()));
            if (payloads[i] == 0) continue;
            QCOMPARE(getPacketByte(n, 42), uint8_t(i * 31));   // first and last payload bytes held
            QCOMPARE(getPacketByte(n, frameSize - 1), uint8_t(i * 31 + frameSize - 43));
        }

        QTest::qWait(1100);   // one status refresh
        const QString status = w->lblStatus->text();
        QVERIFY2(status.startsWith(QString("Capturing on lo: %1 frames received, 0 dropped").arg(payloads.size())),
                 qPrintable(status));
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
        QVERIFY(startOnLoopback(control));
        for (int i = 0; i < 10; ++i) QVERIFY(udp.send(18, uint8_t(i)));
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
