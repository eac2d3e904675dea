// The capture window: the adapter list, the button states, the order of
// start, store reset and clearing, and every way a capture can fail to start
// or end early.
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

// Button state in one word, for compact comparisons.
QString buttons(FrmCapture* w)
{
    return QString("start:%1 stop:%2").arg(w->btnStart->isEnabled() ? "on" : "off", w->btnStop->isEnabled() ? "on" : "off");
}
const QString kIdle = "start:on stop:off";
const QString kCapturing = "start:off stop:on";
}

class TestCaptureWindow : public QObject {
    Q_OBJECT
    FakeAdapters adapters;
    RecordingViews views;
    WatchingDialogs* dialogs = nullptr;

    // A fresh window over the fake collection.
    FrmCapture* openWindow(std::vector<CaptureAdapter> list)
    {
        adapters.listing = {std::move(list), ""};
        return frmCapture();
    }
    int clears() { return views[1].count(RecordingView::Call::Clear); }
    void storePackets(int n)
    {
        for (int i = 0; i < n; ++i) addPacket(frames::ipv4(60, 6).data(), 59);
    }

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

    void listsEveryAdapterInOrderAndSelectsTheFirst()
    {
        FrmCapture* w = openWindow({{"eth0", ""}, {"lo", ""}, {"any", "Pseudo-device that captures on all interfaces"}});
        QCOMPARE(w->windowTitle(), QString("Capture"));
        QStringList items;
        for (int k = 0; k < w->cmbInterface->count(); ++k) items << w->cmbInterface->itemText(k);
        QCOMPARE(items, (QStringList{"eth0", "lo", "any \u2014 Pseudo-device that captures on all interfaces"}));
        QCOMPARE(w->cmbInterface->itemData(2, Qt::ToolTipRole).toString(), QString("any"));
        QCOMPARE(w->cmbInterface->currentIndex(), 0);
        QVERIFY(w->cmbInterface->isEnabled());
        QCOMPARE(buttons(w), kIdle);
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
        FrmCapture* w = adapter.isEmpty() ? openWindow({}) : openWindow({{adapter.toStdString(), "Test " + adapter.toStdString()}});
        if (adapter.isEmpty()) {
            QCOMPARE(w->cmbInterface->placeholderText(), QString("No adapters found"));
            QVERIFY(!w->cmbInterface->isEnabled());
        }
        w->txtFilter->setText(filter);
        storePackets(4);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);

        QCOMPARE(dialogs->shown.size(), 1);
        const QString text = dialogs->shown[0].text;
        QVERIFY2(text.startsWith(says[0]) && text.size() > says[0].size(), qPrintable(text));
        for (const QString& part : says) QVERIFY2(text.contains(part), qPrintable(text));
        QCOMPARE(getPacketCount(), 4);
        QCOMPARE(clears(), 0);
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
    }

    void startStopAndCloseInTheirOrder()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        FrmCapture* w = openWindow({{"lo", ""}});
        w->txtFilter->setText(kQuietFilter);
        storePackets(3);

        dialogs->answers << MsgResult::No;
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(buttons(w), kCapturing);
        QVERIFY(w->lblStatus->text().startsWith("Capturing on lo: 0 frames received, 0 dropped"));
        // The capture runs before the question; No keeps the packets, the views are cleared anyway.
        QCOMPARE(dialogs->capturingWhenAsked, QList<bool>{true});
        QCOMPARE(dialogs->shown[0].title, QString("Verify Buffer Delete"));
        QCOMPARE(getPacketCount(), 3);
        QCOMPARE(clears(), 1);

        QTest::mouseClick(w->btnStop, Qt::LeftButton);
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
        QCOMPARE(w->lblStatus->text(), QString("Stopped: 0 frames received, 0 dropped"));

        dialogs->answers << MsgResult::Yes;
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(dialogs->capturingWhenAsked, (QList<bool>{true, true}));
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(clears(), 3);   // the confirmed reset's clearing, then the window's own
        QCOMPARE(buttons(w), kCapturing);

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
        QCOMPARE(buttons(w), kCapturing);

        auto frame = frames::ipv4(80, 17);
        frame[12] = 0x88;
        frame[13] = 0xb5;
        QVERIFY(tap.write(frame));
        QVERIFY(waitFor([] { return getPacketCount() == 1; }));
        QCOMPARE(getPacketLength(1), 79);

        tap.remove();
        QVERIFY(waitFor([&] { return !dialogs->shown.isEmpty(); }));
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(dialogs->shown[0].text.startsWith("The capture on Test adapter has stopped: "));
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(w->lblStatus->text().startsWith("Stopped: 1 frames received"));
    }
};

QTEST_MAIN(TestCaptureWindow)
#include "test_capture_window.moc"
