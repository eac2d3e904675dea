// Capturing for real on the loopback adapter: UDP datagrams sent by the test
// arrive through the event loop, each as one packet of the right size.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "acquire/frmCapture.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "platform/CaptureControl.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"

using namespace capture_support;

class TestCaptureLive : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_UNLESS_CAPTURE_PERMITTED(); }

    void loopbackDatagramsArriveOneByOneWithTheirSizes()
    {
        ScriptedDialogs dialogs;
        resetBuffer("startup");
        LoopbackUdp udp;
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
};

QTEST_MAIN(TestCaptureLive)
#include "test_capture_live.moc"
