// The capture window: the adapter list, the order of start, store reset and
// clearing, every way a capture can fail to start or end early, and the
// frames it stores and draws, also from the loopback adapter for real.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "acquire/frmCapture.h"
#include "app/guiStoreHost.h"
#include "core/accessors.h"
#include "core/storeHost.h"
#include "platform/AdapterSource.h"
#include "platform/CaptureControl.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"
#include "support/frames.h"

using namespace capture_support;
using Call = RecordingView::Call;

namespace {
// Nothing on the loopback adapter uses this Ethertype, so a capture
// filtered on it stays quiet until a test sends such frames itself.
constexpr const char* kQuietFilter = "ether proto 0x88b5";

struct FakeAdapters : AdapterSource {
    AdapterListing listing;
    AdapterListing probe() override { return listing; }
};

// Records, with every question, whether the capture was already running.
struct WatchingDialogs : ScriptedDialogs {
    QList<bool> capturingWhenAsked;
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override
    {
        if (buttons == MsgButtons::YesNo) capturingWhenAsked << frmCapture()->packet->isCapturing();
        return ScriptedDialogs::messageBox(text, title, buttons, icon);
    }
};

// Whether it captures and which buttons are enabled, in one word.
QString state(FrmCapture* w)
{
    return QString("%1 start:%2 stop:%3")
        .arg(w->packet->isCapturing() ? "capturing" : "idle", w->btnStart->isEnabled() ? "on" : "off",
             w->btnStop->isEnabled() ? "on" : "off");
}
const QString kIdle = "idle start:on stop:off";
const QString kCapturing = "capturing start:off stop:on";

// A UDP frame of `size` bytes whose first two bytes carry `marker`, handed to the capture window.
std::vector<uint8_t> arrive(int size, int marker)
{
    auto f = frames::ipv4(size, 17, 5353, 53, 5, uint8_t(marker));
    f[0] = uint8_t(marker);
    f[1] = uint8_t(marker >> 8);
    frmCapture()->packetArrived(f.data(), size);
    return f;
}
}

class TestCaptureWindow : public QObject {
    Q_OBJECT
    FakeAdapters adapters;
    RecordingViews views;
    WatchingDialogs* dialogs = nullptr;

    // A fresh window over the fake collection, with `held` packets in the store.
    FrmCapture* openWindow(std::vector<CaptureAdapter> list, int held = 0)
    {
        adapters.listing = {std::move(list), ""};
        for (int i = 0; i < held; ++i) addPacket(frames::ipv4(60, 6).data(), 59);
        return frmCapture();
    }
    int clears() { return views[1].count(Call::Clear); }

private slots:
    void initTestCase()
    {
        installAdapterSource(&adapters);
        setStoreHost(&guiStoreHost());
    }
    void cleanupTestCase()
    {
        installAdapterSource(nullptr);
        setStoreHost(nullptr);
    }
    void init()
    {
        dialogs = new WatchingDialogs;
        resetBuffer("startup");
        views.forget();
    }
    void cleanup()
    {
        delete frmCapture();   // the next test loads a new window
        delete dialogs;
    }

    // Adapters are listed by description where they have one, by name otherwise.
    void listsEveryAdapterInOrderAndSelectsTheFirst()
    {
        FrmCapture* w = openWindow({{"eth0", ""}, {"lo", ""}, {"any", "Pseudo-device that captures on all interfaces"}});
        QStringList items;
        for (int k = 0; k < w->cmbInterface->count(); ++k) items << w->cmbInterface->itemText(k);
        QCOMPARE(items, (QStringList{"eth0", "lo", "any \u2014 Pseudo-device that captures on all interfaces"}));
        QCOMPARE(w->cmbInterface->itemData(2, Qt::ToolTipRole).toString(), QString("any"));
        QCOMPARE(w->cmbInterface->currentIndex(), 0);
        QCOMPARE(state(w), kIdle);
    }

    // Every refusal comes before the overwrite question: the store, the views
    // and the buttons stay as they were, and one message tells why.
    void refusedStartChangesNothing_data()
    {
        QTest::addColumn<QString>("adapter");   // empty: no adapters at all; else named "Test <adapter>"
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("says");   // the first is how the message starts
        const QString setcap = "setcap cap_net_raw,cap_net_admin=eip " + QCoreApplication::applicationFilePath();
        QTest::newRow("no adapters") << "" << "" << QStringList{"No adapters found"};
        QTest::newRow("cannot open") << "nivora-gone0" << "" << QStringList{"Cannot capture on Test nivora-gone0: "};
        QTest::newRow("invalid filter") << "lo" << "udp portt 53"
                                        << QStringList{"The capture filter is not valid: ", "syntax error"};
        QTest::newRow("missing rights") << "lo" << ""
                                        << QStringList{"Cannot capture on Test lo: ", "Run the program as root", setcap};
        QTest::newRow("not Ethernet") << "any" << ""
                                      << QStringList{"Cannot capture on Test any: ", "only Ethernet frames can be shown."};
    }
    void refusedStartChangesNothing()
    {
        QFETCH(QString, adapter);
        QFETCH(QString, filter);
        QFETCH(QStringList, says);
        std::optional<LoweredCaptureRights> lowered;
        if (QTest::currentDataTag() == QByteArray("missing rights")) {
            lowered.emplace();   // as root; an ordinary user lacks the rights anyway
            if (getuid() == 0 && !lowered->ok()) QSKIP("cannot drop the capture rights in this environment");
        } else if (adapter == "any") {
            SKIP_UNLESS_CAPTURE_PERMITTED();
        }
        std::vector<CaptureAdapter> list;
        if (!adapter.isEmpty()) list.push_back({adapter.toStdString(), "Test " + adapter.toStdString()});
        FrmCapture* w = openWindow(list, 4);
        QCOMPARE(w->cmbInterface->isEnabled(), !adapter.isEmpty());
        w->txtFilter->setText(filter);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);

        QCOMPARE(dialogs->shown.size(), 1);
        const QString text = dialogs->shown[0].text;
        QVERIFY2(text.startsWith(says[0]) && text.size() > says[0].size(), qPrintable(text));
        for (const QString& part : says) QVERIFY2(text.contains(part), qPrintable(text));
        QCOMPARE(getPacketCount(), 4);
        QCOMPARE(clears(), 0);
        QCOMPARE(state(w), kIdle);
    }

    void startStopAndCloseInTheirOrder()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        FrmCapture* w = openWindow({{"lo", ""}}, 3);
        w->txtFilter->setText(kQuietFilter);
        dialogs->answers << MsgResult::No << MsgResult::Yes;
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(state(w), kCapturing);
        QVERIFY(w->lblStatus->text().startsWith("Capturing on lo: 0 frames received, 0 dropped"));
        // The capture runs before the question; No keeps the packets, the views are cleared anyway.
        QCOMPARE(dialogs->capturingWhenAsked, QList<bool>{true});
        QCOMPARE(getPacketCount(), 3);
        QCOMPARE(clears(), 1);

        QTest::mouseClick(w->btnStop, Qt::LeftButton);
        QCOMPARE(state(w), kIdle);
        QCOMPARE(w->lblStatus->text(), QString("Stopped: 0 frames received, 0 dropped"));

        QTest::mouseClick(w->btnStart, Qt::LeftButton);   // Yes
        QCOMPARE(dialogs->capturingWhenAsked, (QList<bool>{true, true}));
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(clears(), 3);   // the confirmed reset's clearing, then the window's own
        QCOMPARE(state(w), kCapturing);

        // Closing the window takes its capture with it.
        QPointer<CaptureControl> control = w->packet;
        w->close();
        QVERIFY(!control || !control->isCapturing());
    }

    void adapterVanishingMidCaptureStopsItAndKeepsThePackets()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        TapAdapter tap;
        if (!tap.ok()) QSKIP("cannot create a TAP adapter here (/dev/net/tun)");
        FrmCapture* w = openWindow({{tap.name(), "Test adapter"}});
        w->txtFilter->setText(kQuietFilter);
        w->StartCapture();
        QCOMPARE(state(w), kCapturing);

        auto frame = frames::ipv4(80, 17);
        frame[12] = 0x88;
        frame[13] = 0xb5;
        QVERIFY(tap.write(frame));
        QVERIFY(waitFor([] { return getPacketCount() == 1; }));

        tap.remove();
        QVERIFY(waitFor([&] { return !dialogs->shown.isEmpty(); }));
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(dialogs->shown[0].text.startsWith("The capture on Test adapter has stopped: "));
        QCOMPARE(state(w), kIdle);
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(w->lblStatus->text().startsWith("Stopped: 1 frames received"));
    }

    // Datagrams sent on the loopback adapter arrive through the event loop,
    // each one packet, cut at the store's 1601 bytes (42 header bytes on lo).
    void loopbackDatagramsArriveWithTheirSizes()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        LoopbackUdp udp;
        QVERIFY(udp.ok());
        FrmCapture* w = openWindow({{"lo", ""}});
        w->txtFilter->setText(QString("udp and dst port %1").arg(udp.sinkPort()));   // only ours
        w->StartCapture();
        const std::vector<int> payloads = {0, 1, 1559, 1560, 3000};
        for (size_t i = 0; i < payloads.size(); ++i) QVERIFY(udp.send(payloads[i], uint8_t(i * 31)));
        waitFor([&] { return getPacketCount() >= int(payloads.size()); });
        QCOMPARE(getPacketCount(), int(payloads.size()));
        for (size_t i = 0; i < payloads.size(); ++i) {
            const int64_t n = int64_t(i) + 1;
            const int frameSize = std::min(42 + payloads[i], kSlotBytes);
            QCOMPARE(getPacketLength(n), frameSize - 1);
            QCOMPARE(getIPTotalLength(n), 28 + payloads[i]);
            QCOMPARE(getUDPSourcePort(n), int(udp.senderPort()));
            if (payloads[i] > 0) QCOMPARE(getPacketByte(n, frameSize - 1), uint8_t(i * 31 + frameSize - 43));
        }
        QCOMPARE(views[1].plotted(), (QList<int32_t>{1, 2, 3, 4, 5}));
        QVERIFY(dialogs->shown.isEmpty());
    }

    // Each frame is stored whole and drawn at once as a one-packet range; an
    // empty one is neither.
    void frameArrivingIsStoredAndDrawn_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("shortest Ethernet") << 60;
        QTest::newRow("store's limit") << 1601;
    }
    void frameArrivingIsStoredAndDrawn()
    {
        QFETCH(int, size);
        const uint8_t none[1] = {0};
        if (size == 0) frmCapture()->packetArrived(none, 0);
        const auto frame = size > 0 ? arrive(size, 7) : std::vector<uint8_t>{};
        QCOMPARE(getPacketCount(), size > 0 ? 1 : 0);
        QCOMPARE(getPacketLength(1), std::max(size - 1, 0));
        QVERIFY(std::equal(frame.begin(), frame.end(), packetBytesOf(1)));
        QCOMPARE(views[1].calls, size > 0 ? (QList<RecordingView::Entry>{{Call::Plot, 1}, {Call::Thumbnail, 1}})
                                          : QList<RecordingView::Entry>{});
    }

    void ringWrapsWhileCapturing()
    {
        for (int n = 1; n <= kSlotCount; ++n) arrive(60, n);
        views.forget();
        // Frame 30001 overwrites the oldest slot and is drawn by its packet number; the capture goes on.
        arrive(100, kSlotCount + 1);
        arrive(60, kSlotCount + 2);
        QCOMPARE(firstHeldPacket(), 3);
        QCOMPARE(getPacketLength(kSlotCount + 1), 99);
        QCOMPARE(getPacketByte(kSlotCount + 1, 0), uint8_t(kSlotCount + 1));
        QCOMPARE(getPacketByte(kSlotCount + 2, 0), uint8_t(kSlotCount + 2));
        QCOMPARE(views[1].plotted(), (QList<int32_t>{kSlotCount + 1, kSlotCount + 2}));
    }
};

QTEST_MAIN(TestCaptureWindow)
#include "test_capture_window.moc"
