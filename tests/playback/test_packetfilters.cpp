// The check boxes and the network toggles of the "filters" window: what a
// ticked box lets through, read behind the IP header's own length, combined
// with the protocol toggles; closing the window lets everything through again.
#include <QAbstractButton>
#include <QTest>

#include "core/modFilters.h"
#include "core/modLibrary.h"
#include "playback/frmEncodings.h"
#include "support/frames.h"

namespace {
using Frame = std::vector<uint8_t>;

// A TCP frame with these flags; with IP options (ihl 6) the bytes where a
// header without options keeps its flags hold ACK, to catch a reader that
// looks there.
Frame tcp(uint8_t flags, uint8_t ihl = 5, int size = 60)
{
    Frame f = frames::ipv4(size, 6, 40000, 80, ihl, ihl > 5 ? 0x10 : 0);
    const size_t at = 14 + 4 * size_t(ihl) + 13;
    if (at < f.size()) f[at] = flags;
    return f;
}
Frame udp(uint16_t sport, uint16_t dport) { return frames::ipv4(60, 17, sport, dport); }
Frame icmp(uint8_t type)
{
    Frame f = frames::ipv4(60, 1);
    f[34] = type;
    return f;
}
Frame arp()
{
    Frame f = frames::ipv4(60, 6);
    f[12] = 0x08;
    f[13] = 0x06;
    return f;
}
}

class TestPacketFilters : public QObject {
    Q_OBJECT

private slots:
    void init() { resetBuffer("startup"); }
    void cleanup()
    {
        frmEncodings()->close();   // the next test finds every control as designed
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void checkBoxesAndToggles_data()
    {
        QTest::addColumn<QStringList>("pressed");   // check boxes ticked, toggles pressed down
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<bool>("hidden");
        const QStringList syn{"chkTCPSYN"}, ack{"chkTCPACK"}, synAck{"chkTCPSYNACK"};
        QTest::newRow("nothing ticked") << QStringList{} << tcp(0x02) << false;
        QTest::newRow("SYN: SYN") << syn << tcp(0x02) << false;
        QTest::newRow("SYN: SYN+ACK") << syn << tcp(0x12) << true;
        QTest::newRow("SYN: ACK") << syn << tcp(0x10) << true;
        QTest::newRow("SYN: SYN behind IP options") << syn << tcp(0x02, 6) << false;
        QTest::newRow("ACK: SYN behind IP options") << ack << tcp(0x02, 6) << true;
        QTest::newRow("SYN: frame ends before the flags") << syn << tcp(0x02, 5, 40) << true;
        QTest::newRow("SYN/ACK: SYN+ACK") << synAck << tcp(0x12) << false;
        QTest::newRow("SYN/ACK: SYN+ACK+PSH") << synAck << tcp(0x1A) << false;
        QTest::newRow("ACK: ACK+PSH") << ack << tcp(0x18) << false;
        QTest::newRow("ACK: RST") << ack << tcp(0x04) << true;
        QTest::newRow("Slammer: from 1434") << QStringList{"chkSlammerFilter"} << udp(1434, 53) << false;
        QTest::newRow("Slammer: to 1434") << QStringList{"chkSlammerFilter"} << udp(53, 1434) << false;
        QTest::newRow("Slammer: TCP to 1434") << QStringList{"chkSlammerFilter"} << frames::ipv4(60, 6, 1, 1434) << true;
        QTest::newRow("Messenger: to 1027") << QStringList{"chkMessengerSpam"} << udp(53, 1027) << false;
        QTest::newRow("Messenger: from 1026") << QStringList{"chkMessengerSpam"} << udp(1026, 53) << true;
        QTest::newRow("echo request") << QStringList{"Check5"} << icmp(8) << false;
        QTest::newRow("echo reply") << QStringList{"Check5"} << icmp(0) << true;
        QTest::newRow("SYN or echo: echo") << QStringList{"chkTCPSYN", "Check5"} << icmp(8) << false;
        QTest::newRow("SYN or echo: UDP") << QStringList{"chkTCPSYN", "Check5"} << udp(1, 2) << true;
        QTest::newRow("SYN with TCP hidden") << QStringList{"chkTCPSYN", "tglTCP"} << tcp(0x02) << true;
        QTest::newRow("Ethernet down: ARP") << QStringList{"tglEther"} << arp() << true;
        QTest::newRow("Ethernet down: IPv4") << QStringList{"tglEther"} << tcp(0x02) << false;
        QTest::newRow("IP down: IPv4") << QStringList{"tglIP"} << tcp(0x02) << true;
        QTest::newRow("IP down: ARP") << QStringList{"tglIP"} << arp() << false;
        QTest::newRow("SYN: ARP") << syn << arp() << true;
    }
    void checkBoxesAndToggles()
    {
        QFETCH(QStringList, pressed);
        QFETCH(Frame, frame);
        QFETCH(bool, hidden);
        for (const QString& name : pressed) {
            auto* control = frmEncodings()->findChild<QAbstractButton*>(name);
            QVERIFY2(control, qPrintable(name));
            control->setChecked(true);
        }
        const int32_t n = addPacket(frame.data(), int(frame.size()) - 1);
        QCOMPARE(filterPacket(n), hidden);
    }

    void closingTheWindowLetsEverythingThrough()
    {
        for (const char* name : {"chkTCPSYN", "tglEther", "tglIP"})
            frmEncodings()->findChild<QAbstractButton*>(name)->setChecked(true);
        frmEncodings()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const Frame& f : {tcp(0x12), arp()}) QVERIFY(!filterPacket(addPacket(f.data(), int(f.size()) - 1)));
        QVERIFY(!frmEncodings()->findChild<QAbstractButton*>("chkTCPSYN")->isChecked());
    }
};

QTEST_MAIN(TestPacketFilters)
#include "test_packetfilters.moc"
