// The protocol settings (filter and colours), the "filters" window that edits
// them, and the dispatch to the seven views.
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <optional>

#include "core/modEncodings.h"
#include "core/modFilters.h"
#include "core/modLibrary.h"
#include "playback/frmEncodings.h"
#include "platform/PictureSurface.h"
#include "support/ScriptedDialogs.h"
#include "playback/modVisualize.h"
#include "support/RecordingView.h"
#include "support/frames.h"
#include "vis/frmVis3.h"

namespace {
using Frame = std::vector<uint8_t>;

int32_t add(const Frame& f) { return addPacket(f.data(), int(f.size()) - 1); }
Frame with(Frame f, size_t at, uint8_t value)
{
    if (at < f.size()) f[at] = value;
    return f;
}
// TCP with these flags; with IP options (ihl 6) the bytes where a header without
// them keeps its flags hold ACK, to catch a reader that looks there.
Frame tcp(uint8_t flags, uint8_t ihl = 5, int size = 60)
{
    return with(frames::ipv4(size, 6, 40000, 80, ihl, ihl > 5 ? 0x10 : 0), 14 + 4 * size_t(ihl) + 13, flags);
}
const Frame arp = with(frames::ipv4(60, 6), 13, 0x06);   // Ethertype 0x0806
}

class TestDispatch : public QObject {
    Q_OBJECT
    std::optional<RecordingViews> views;
    RecordingView& view(int k) { return (*views)[k]; }

private slots:
    void init()
    {
        resetBuffer("startup");
        views.emplace();
    }
    void cleanup()
    {
        views.reset();
        frmEncodings()->close();   // every class shown, every control as designed for the next test
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // ICMP and IGMP share blue; 137 is the last other legal number, 138..252 unassigned.
    void classColours()
    {
        const ColorRef blue = rgb(0, 0, 255), other = rgb(255, 255, 128), unassigned = rgb(255, 128, 128);
        const QList<std::pair<int, ColorRef>> colours{
            {1, blue}, {2, blue}, {6, rgb(0, 255, 0)}, {17, rgb(255, 128, 0)},
            {137, other}, {138, unassigned}, {252, unassigned}, {253, other}};
        for (const auto& [protocol, colour] : colours) QCOMPARE(encodingColor(protocol), colour);
    }

    // A toggle hides its class (the classes' boundaries are in classColours), IP
    // every IPv4 packet, Ethernet every other frame. Ticked check boxes show only
    // what one of them matches, read behind the IP header's own length; the
    // toggles hide before them.
    void checkBoxesAndToggles_data()
    {
        QTest::addColumn<QStringList>("pressed");
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<bool>("hidden");
        const QStringList syn{"chkTCPSYN"}, ack{"chkTCPACK"}, slammer{"chkSlammerFilter"}, echo{"Check5"};
        const QStringList messenger{"chkMessengerSpam"}, ether{"tglEther"}, ip{"tglIP"};
        QTest::newRow("ICMP") << QStringList{"tglICMP"} << frames::ipv4(60, 1) << true;
        QTest::newRow("IGMP") << QStringList{"tglIGMP"} << frames::ipv4(60, 2) << true;
        QTest::newRow("TCP") << QStringList{"tglTCP"} << frames::ipv4(60, 6) << true;
        QTest::newRow("UDP") << QStringList{"tglUDP"} << frames::ipv4(60, 17) << true;
        QTest::newRow("other legal 137") << QStringList{"tglOtherTransport"} << frames::ipv4(60, 137) << true;
        QTest::newRow("unassigned 138") << QStringList{"tglUnkTransport"} << frames::ipv4(60, 138) << true;
        QTest::newRow("IP down: IPv4") << ip << frames::ipv4(60, 6) << true;
        QTest::newRow("Ethernet down: IPv4") << ether << frames::ipv4(60, 6) << false;
        QTest::newRow("SYN: SYN+ACK") << syn << tcp(0x12) << true;
        QTest::newRow("SYN: SYN behind IP options") << syn << tcp(0x02, 6) << false;
        QTest::newRow("SYN: frame ends before the flags") << syn << tcp(0x02, 5, 40) << true;
        QTest::newRow("SYN/ACK: SYN+ACK+PSH") << QStringList{"chkTCPSYNACK"} << tcp(0x1A) << false;
        QTest::newRow("ACK: ACK+PSH") << ack << tcp(0x18) << false;
        QTest::newRow("Slammer: from 1434") << slammer << frames::ipv4(60, 17, 1434, 53) << false;
        QTest::newRow("Slammer: to 1434") << slammer << frames::ipv4(60, 17, 53, 1434) << false;
        QTest::newRow("Slammer: TCP to 1434") << slammer << frames::ipv4(60, 6, 1, 1434) << true;
        QTest::newRow("Messenger: to 1027") << messenger << frames::ipv4(60, 17, 53, 1027) << false;
        QTest::newRow("Messenger: from 1026") << messenger << frames::ipv4(60, 17, 1026, 53) << true;
        QTest::newRow("echo request") << echo << with(frames::ipv4(60, 1), 34, 8) << false;
        QTest::newRow("echo reply") << echo << with(frames::ipv4(60, 1), 34, 0) << true;
        QTest::newRow("SYN or echo: echo") << syn + echo << with(frames::ipv4(60, 1), 34, 8) << false;
        QTest::newRow("SYN with TCP hidden") << syn + QStringList{"tglTCP"} << tcp(0x02) << true;
        QTest::newRow("Ethernet down: ARP") << ether << arp << true;
        QTest::newRow("IP down: ARP") << ip << arp << false;
    }
    void checkBoxesAndToggles()
    {
        QFETCH(QStringList, pressed);
        QFETCH(Frame, frame);
        QFETCH(bool, hidden);
        for (const QString& name : pressed) frmEncodings()->findChild<QAbstractButton*>(name)->setChecked(true);
        QCOMPARE(filterPacket(add(frame)), hidden);
    }

    // A pressed toggle reads as "hidden": caption struck through, swatch crossed
    // out, also after its colour changes; raised, both as they were. The
    // toggles that do nothing never look hidden.
    void pressedTogglesLookHidden()
    {
        ScriptedDialogs dialogs;
        FrmEncodings* w = frmEncodings();
        const auto look = [&](const char* toggle, const char* swatch) {
            const PictureSurface* s = w->swatch(swatch);
            const ColorRef middle = s->point(s->scaleWidth() / 2, s->scaleHeight() / 2);
            return QString("%1 %2").arg(w->findChild<QPushButton*>(toggle)->font().strikeOut())
                .arg(middle == s->backColor() ? "plain" : "crossed");
        };
        for (const auto& [toggle, swatch] : {std::pair{"tglUDP", "picUDP"}, std::pair{"tglEther", "picEther"}}) {
            QCOMPARE(look(toggle, swatch), QString("0 plain"));
            w->findChild<QPushButton*>(toggle)->setChecked(true);
            QCOMPARE(look(toggle, swatch), QString("1 crossed"));
            dialogs.colors.enqueue(rgb(1, 2, 3));
            QTest::mouseClick(w->swatch(swatch), Qt::LeftButton);
            QCOMPARE(look(toggle, swatch), QString("1 crossed"));
            w->findChild<QPushButton*>(toggle)->setChecked(false);
            QCOMPARE(look(toggle, swatch), QString("0 plain"));
        }
        w->findChild<QPushButton*>("tglOtherNetwork")->setChecked(true);
        QVERIFY(!w->findChild<QPushButton*>("tglOtherNetwork")->font().strikeOut());
        w->close();
        protocolSettings().etherColor = rgb(128, 255, 128);   // Ethernet keeps its colour past the close
    }

    // (A swatch's click picking a colour: TestMainWindow::nothingPersists.)
    void closingTheWindowLetsEverythingThrough()
    {
        protocolSettings().color(ProtocolClass::Tcp) = rgb(1, 2, 3);
        protocolSettings().etherColor = rgb(9, 9, 9);
        for (const char* name : {"tglTCP", "chkTCPSYN", "tglEther", "tglIP"})
            frmEncodings()->findChild<QAbstractButton*>(name)->setChecked(true);
        frmEncodings()->close();   // every class and packet shown again, in the default colours
        for (const Frame& f : {tcp(0x12), arp}) QVERIFY(!filterPacket(add(f)));
        QCOMPARE(encodingColor(6), rgb(0, 255, 0));
        QCOMPARE(protocolSettings().etherColor, rgb(9, 9, 9));   // Ethernet and IP keep theirs
        protocolSettings().etherColor = rgb(128, 255, 128);
    }

    // Hidden packets, empty ranges and numbers below 1 (0 is what the store
    // returns for a frame it did not take, not slot 30000) draw nothing.
    void dispatchOrder()
    {
        add(frames::ipv4(60, 6));
        add(frames::ipv4(60, 17));
        protocolSettings().hides(ProtocolClass::Udp) = true;
        view(2).shown = false;   // its thumbnail is drawn all the same
        for (const auto& [first, last] : std::vector<std::pair<int, int>>{{2, 2}, {2, 1}, {0, 0}, {-3, 1}})
            displayPackets(first, last);
        QCOMPARE(views->journal.join(' '), QString("Plot1:1 thumb1:1 thumb2:1 Plot3:1 thumb3:1 Plot4:1 "
                                                   "thumb4:1 Plot5:1 thumb5:1 Plot6:1 thumb6:1 Plot7:1"));
        views->forget();
        clearVisualizations();
        QCOMPARE(views->journal.join(' '), QString("clear1 clear2 clear3 clear4 clear5 clear6 clear7"));
    }

    void shortPacketSeesOnlyItsOwnBytes()
    {
        const Frame small = frames::ipv4(60, 6, 0, 0, 5, 0x55);
        add(frames::ipv4(1514, 6, 0, 0, 5, 0xAA));
        add(small);
        displayPackets(1, 2);
        QCOMPARE(view(1).lastBytes, QByteArray(reinterpret_cast<const char*>(small.data()), 60));
        QCOMPARE(byteFrequency()[0xAA], 0.0f);   // the histogram counts the short packet's bytes only
    }

    void nestedDisplayAndClosedWindowSurvive()
    {
        overrideView(3, nullptr, nullptr);   // view 3 is the real window, closed mid-range
        for (int i = 0; i < 6; ++i) add(frames::ipv4(60, 6));
        const QPointer<FrmVis3> real = frmVis3();
        real->show();
        view(1).onPlot = [&](int32_t n) {
            if (n != 2) return;
            QTimer::singleShot(0, [&] {
                real->close();
                displayPackets(6, 6);
            });
            QThread::msleep(10);   // let the next yield point run the events
        };
        displayPackets(1, 5);
        QCOMPARE(view(1).plotted(), (QList<int32_t>{1, 2, 6, 3, 4, 5}));
        QVERIFY(!real && !frmVis3()->isVisible());   // closed, and a fresh one hidden
    }
};

QTEST_MAIN(TestDispatch)
#include "test_dispatch.moc"
