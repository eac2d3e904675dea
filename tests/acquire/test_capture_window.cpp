// The capture window and its capture control: the adapters offered, every way
// a start is refused, start, stop and store reset, a capture ending early, and
// the frames stored and drawn, from the loopback adapter too.
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "acquire/frmCapture.h"
#include "app/guiStoreHost.h"
#include "core/accessors.h"
#include "core/linkHeader.h"
#include "core/linkOrigins.h"
#include "core/storeHost.h"
#include "platform/CaptureControl.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"
#include "support/frames.h"

using namespace capture_support;
using Call = RecordingView::Call;

namespace {
// Whether it captures, and which of Start and Stop are enabled.
QString state(FrmCapture* w)
{
    return QString(w->packet->isCapturing() ? "capturing" : "idle")
           + (w->btnStart->isEnabled() ? " start" : "") + (w->btnStop->isEnabled() ? " stop" : "");
}
}

class TestCaptureWindow : public QObject {
    Q_OBJECT
    FakeAdapters adapters;
    RecordingViews views;
    ScriptedDialogs* dialogs = nullptr;

    // A fresh window over the fake collection, with `held` packets in the store.
    FrmCapture* openWindow(std::vector<CaptureAdapter> list, int held = 0)
    {
        adapters.listing = {std::move(list), ""};
        for (int i = 0; i < held; ++i) addPacket(frames::ipv4(60, 6).data(), 59);
        return frmCapture();
    }

private slots:
    void initTestCase()
    {
        installAdapterSource(&adapters);
        setStoreHost(&guiStoreHost());
    }
    void init()
    {
        dialogs = new ScriptedDialogs;
        resetBuffer("startup");
        views.forget();
    }
    void cleanup()
    {
        delete frmCapture();   // the next test loads a new window
        delete dialogs;
    }

    // Only adapters whose frames can be shown as Ethernet are listed (the
    // "any" adapter's Linux cooked frames and a tunnel's raw IP among them), by
    // name and description; entry k of the list is adapter k + 1 of the collection.
    void onlyAdaptersShownAsEthernetAreOffered()
    {
        FrmCapture* w = openWindow(ethernetAdapters({{"eth0", "Intel 82540EM", kLinkEthernet},
                                                     {"nflog", "Linux netfilter log", 239},
                                                     {"any", "Pseudo-device", 113},   // Linux cooked
                                                     {"bluetooth-monitor", "", kLinkUnknown},
                                                     {"tun0", "", 12},   // raw IP
                                                     {"lo", "", kLinkEthernet}}));
        QCOMPARE(w->cmbInterface->itemText(0), QString("eth0 \u2014 Intel 82540EM"));
        QCOMPARE(w->cmbInterface->itemText(1), QString("any \u2014 Pseudo-device"));
        QCOMPARE(w->cmbInterface->itemText(2), QString("tun0"));
        QCOMPARE(w->cmbInterface->itemText(3), QString("lo"));
        // The stream sources follow the adapters.
        QCOMPARE(w->cmbInterface->findText("Named pipe\u2026"), w->cmbInterface->count() - 2);
        QCOMPARE(w->packet->adapters().item(4).name, std::string("lo"));
    }

    // Every refusal comes before the overwrite question: the store, the views
    // and the buttons stay as they were, and one message tells why.
    void refusedStartChangesNothing_data()
    {
        QTest::addColumn<QString>("adapter");   // empty: no adapters at all; else named "Test <adapter>"
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("says");   // the first is how the message starts, a reason follows
        const QString setcap = "cap_net_raw,cap_net_admin=eip " + QCoreApplication::applicationFilePath();
        QTest::newRow("no adapters") << "" << "" << QStringList{"No adapters found"};
        QTest::newRow("invalid filter") << "lo" << "udp portt 53"
                                        << QStringList{"The capture filter is not valid: ", "syntax error"};
        QTest::newRow("missing rights")
            << "lo" << "" << QStringList{"Cannot capture on Test lo: ", "Run the program as root", setcap};
        QTest::newRow("not Ethernet")
            << "nflog" << "" << QStringList{"Cannot capture on Test nflog: ", "NFLOG", "only Ethernet, Linux cooked, raw IP and loopback frames can be shown"};
        // Cancel (Escape) on the overwrite question refuses too.
        QTest::newRow("cancelled") << "lo" << "" << QStringList{"Packets exist in the buffer.  Do you wish to overwrite?"};
    }
    void refusedStartChangesNothing()
    {
        QFETCH(QString, adapter);
        QFETCH(QString, filter);
        QFETCH(QStringList, says);
        std::optional<LoweredCaptureRights> lowered;   // as root; an ordinary user lacks the rights anyway
        if (QTest::currentDataTag() == QByteArray("missing rights") && !lowered.emplace().ok() && !getuid())
            QSKIP("cannot drop the capture rights in this environment");
        if (adapter == "nflog" || QTest::currentDataTag() == QByteArray("cancelled")) SKIP_UNLESS_CAPTURE_PERMITTED();
        dialogs->answers << MsgResult::Cancel;
        std::vector<CaptureAdapter> list;
        if (!adapter.isEmpty()) list.push_back({adapter.toStdString(), "Test " + adapter.toStdString()});
        FrmCapture* w = openWindow(list, 4);
        w->txtFilter->setText(filter);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);

        const QString text = dialogs->shown.value(0).text;
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY2(text.startsWith(says[0]) && text.size() > says[0].size(), qPrintable(text));
        QCOMPARE(dialogs->shown[0].buttons, says.size() == 1 && adapter == "lo" ? MsgButtons::YesNoCancel : MsgButtons::Ok);
        for (const QString& part : says) QVERIFY2(text.contains(part), qPrintable(text));
        QCOMPARE(getPacketCount(), 4);
        QCOMPARE(views[1].count(Call::Clear), 0);
        QCOMPARE(state(w), QString("idle start"));
    }

    // No to the overwrite question keeps the packets (the views are cleared
    // anyway), frames come through the event loop, a stop holds at once, each
    // capture counts its own, and closing the window takes the capture with it.
    void startStopAndCloseInTheirOrder()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        LoopbackUdp udp;
        FrmCapture* w = openWindow({{"lo", ""}}, 3);
        w->txtFilter->setText(QString("udp and dst port %1").arg(udp.sinkPort()));   // only ours
        dialogs->answers << MsgResult::No << MsgResult::Yes;
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(state(w), QString("capturing stop"));
        QCOMPARE(views[1].count(Call::Clear), 1);
        // Stop clicked while the first frame is drawn: the frames read with it
        // are stored (they were, before the drawing began), no later one is.
        views[1].onPlot = [&](int32_t) {
            if (w->btnStop->isEnabled()) QTest::mouseClick(w->btnStop, Qt::LeftButton);
        };
        for (int i = 0; i < 3; ++i) QVERIFY(udp.send(10, 0));
        QVERIFY(waitFor([] { return getPacketCount() >= 4; }));
        views[1].onPlot = nullptr;
        const int64_t kept = getPacketCount();
        QCOMPARE(state(w), QString("idle start"));
        QVERIFY(udp.send(10, 0));
        QTest::qWait(50);
        QCOMPARE(getPacketCount(), kept);
        QVERIFY2(kept <= 6 && w->lblStatus->text().startsWith(QString("Stopped: %1 frames received").arg(kept - 3)),
                 qPrintable(w->lblStatus->text()));
        QTest::mouseClick(w->btnStart, Qt::LeftButton);   // Yes
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(views[1].count(Call::Clear), 3);   // the confirmed reset's clearing, then the window's own
        QCOMPARE(w->lblStatus->text(), QString("Capturing on lo: 0 frames received, 0 dropped"));

        QPointer<CaptureControl> control = w->packet;
        w->close();
        QVERIFY(!control || !control->isCapturing());
    }

    // Each frame keeps the kernel's stamp: increasing, within the capture's
    // span of wall-clock time (saving them: TestRecordedFiles::timesRoundTrip),
    // and its length on the wire, beyond the bytes a slot keeps. The "any"
    // adapter delivers Linux cooked frames: they are stored as Ethernet frames
    // of the same packets, and the store knows what they were.
    void liveFramesKeepTheirCaptureTimes_data()
    {
        QTest::addColumn<QString>("adapter");
        QTest::newRow("lo") << "lo";
        QTest::newRow("any") << "any";
    }
    void liveFramesKeepTheirCaptureTimes()
    {
        QFETCH(QString, adapter);
        SKIP_UNLESS_CAPTURE_PERMITTED();
        LoopbackUdp udp;
        FrmCapture* w = openWindow({{adapter.toStdString(), ""}});
        w->txtFilter->setText(QString("udp and dst port %1").arg(udp.sinkPort()));
        const auto wallNow = [] { return QDateTime::currentMSecsSinceEpoch() * 1'000'000; };
        const CaptureTime before = wallNow();
        w->StartCapture();
        const int sizes[5] = {10, 11, 3000, 12, 13};
        for (int i = 0; i < 5; ++i) {
            QVERIFY(udp.send(sizes[i], uint8_t(i)));
            QTest::qWait(3);
        }
        QVERIFY(waitFor([] { return getPacketCount() >= 5; }));
        w->StopCapture();
        const CaptureTime after = wallNow() + 1'000'000;   // the clock's millisecond rounded up
        for (int64_t n = 1; n <= 5; ++n) {
            const CaptureTime t = getCaptureTime(n);
            QVERIFY2(t >= before && t <= after && (n == 1 || t > getCaptureTime(n - 1)), epochSecondsText(t).c_str());
            QCOMPARE(getWireLength(n), uint32_t(14 + 20 + 8 + sizes[n - 1]));   // Ethernet, IPv4, UDP
            QCOMPARE(std::pair(getEthertype(n), getUDPDestPort(n)), std::pair(0x0800, int32_t(udp.sinkPort())));
            const bool cooked = linkTypeOfPacket(n) == link_type::kLinuxCooked || linkTypeOfPacket(n) == link_type::kLinuxCooked2;
            QCOMPARE(cooked, adapter == "any");
        }
        if (adapter == "lo") QCOMPARE(getPacketLength(3), kLastPosition);   // the long one stored cut to the slot
    }

    // Frames that come while the overwrite question waits are read after the
    // answer: every frame counted is stored, and the counter after Stop
    // matches the packets held besides the 3 kept.
    void framesDuringTheQuestionAreCountedAndKept()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        LoopbackUdp udp;
        FrmCapture* w = openWindow({{"lo", ""}}, 3);
        w->txtFilter->setText(QString("udp and dst port %1").arg(udp.sinkPort()));
        dialogs->answers << MsgResult::No;
        dialogs->duringMessage = [&] {
            for (int i = 0; i < 2; ++i) QVERIFY(udp.send(10, uint8_t(i)));
            QTest::qWait(100);   // the question's own event loop
        };
        w->StartCapture();
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(udp.send(10, 2));
        QVERIFY(waitFor([] { return getPacketCount() >= 3 + 3; }));
        w->StopCapture();
        QCOMPARE(getPacketCount(), 3 + 3);
        QCOMPARE(w->lblStatus->text(), QString("Stopped: 3 frames received, 0 dropped"));
    }

    void adapterVanishingMidCaptureStopsItAndKeepsThePackets()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        TapAdapter tap;
        if (!tap.ok()) QSKIP("cannot create a TAP adapter here (/dev/net/tun)");
        FrmCapture* w = openWindow({{tap.name(), "Test adapter"}}, 2);
        w->txtFilter->setText("ether proto 0x88b5");   // none of the frames a new adapter sees
        dialogs->answers << MsgResult::No;
        w->StartCapture();
        tap.remove();
        QVERIFY(waitFor([&] { return dialogs->shown.size() == 2; }));
        QVERIFY(dialogs->shown[1].text.startsWith("The capture on Test adapter has stopped: "));
        QCOMPARE(state(w), QString("idle start"));
        QCOMPARE(getPacketCount(), 2);
    }

    // Each frame is stored whole at once and drawn, with the others the
    // adapter had ready, by its packet number, which is not its slot once the
    // ring has wrapped; an empty frame is neither.
    void capturedPacketsAreDrawnByNumber()
    {
        auto frame = frames::ipv4(60, 17);
        for (int n = 1; n <= kSlotCount + 4; ++n) addPacket(frame.data(), 59);
        views.forget();
        frmCapture()->packetArrived(frame.data(), 0);
        frame = frames::ipv4(100, 17, 0, 0, 5, 0x5a);
        frmCapture()->packetArrived(frame.data(), 100);   // packet 30005, in slot 5
        QCOMPARE(getPacketLength(kSlotCount + 5), 99);
        QVERIFY(views[1].calls.isEmpty());
        frmCapture()->drawArrivedFrames();
        QCOMPARE(views[1].calls, (QList<RecordingView::Entry>{{Call::Plot, 30005}, {Call::Thumbnail, 30005}}));
    }
};

QTEST_MAIN(TestCaptureWindow)
#include "test_capture_window.moc"
