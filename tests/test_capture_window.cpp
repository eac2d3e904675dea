// The capture window: the adapter list, the button states, the order of
// start, store reset and clearing, and every way a capture can fail to start
// or end early.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "acquire/frmCapture.h"
#include "app/guiStoreHost.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "platform/AdapterSource.h"
#include "platform/CaptureControl.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"
#include "support/frames.h"
#include "vis/VisWindow.h"
#include "vis/visWindows.h"

using namespace capture_support;

namespace {
// Nothing on the loopback adapter uses this Ethertype, so a capture
// filtered on it stays quiet until a test sends such frames itself.
constexpr const char* kQuietFilter = "ether proto 0x88b5";

class FakeAdapters : public AdapterSource {
public:
    AdapterListing listing;
    AdapterListing probe() override { return listing; }
};

class ClearCountingView : public VisWindow {
public:
    int clears = 0;
    void Plot(const PacketToDraw&) override {}
    void plotThumbnail(const PacketToDraw&) override {}
    void clear() override { ++clears; }
    bool isShown() const override { return false; }
};

// Records, with every question, whether the capture was already running.
class WatchingDialogs : public ScriptedDialogs {
public:
    QList<bool> capturingWhenAsked;
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override
    {
        if (buttons == MsgButtons::YesNo) capturingWhenAsked << frmCapture()->packet->isCapturing();
        return ScriptedDialogs::messageBox(text, title, buttons, icon);
    }
};

void storePackets(int n)
{
    const auto f = frames::ipv4(60, 6);
    for (int i = 0; i < n; ++i) addPacket(f.data(), 59);
}

// Window state in one word, for compact comparisons.
QString buttons(FrmCapture* w)
{
    return QString("start:%1 stop:%2").arg(w->btnStart->isEnabled() ? "on" : "off", w->btnStop->isEnabled() ? "on" : "off");
}
const QString kIdle = "start:on stop:off";
const QString kCapturing = "start:off stop:on";

bool waitFor(const std::function<bool()>& done, int ms = 3000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QTest::qWait(5);
    return done();
}
}

class TestCaptureWindow : public QObject {
    Q_OBJECT
    FakeAdapters adapters;
    ClearCountingView view;
    WatchingDialogs* dialogs = nullptr;

    // A fresh window over the fake collection.
    FrmCapture* openWindow(std::vector<CaptureAdapter> list)
    {
        adapters.listing = {std::move(list), ""};
        return frmCapture();
    }

private slots:
    void initTestCase()
    {
        installAdapterSource(&adapters);
        setStoreHost(&guiStoreHost());
        overrideVisWindow(1, &view);
    }
    void cleanupTestCase()
    {
        installAdapterSource(nullptr);
        setStoreHost(nullptr);
        overrideVisWindow(1, nullptr);
    }
    void init()
    {
        dialogs = new WatchingDialogs;
        resetBuffer("startup");
        view.clears = 0;
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
        QCOMPARE(w->Label1->text(), QString("Current Network Interface"));
        QCOMPARE(w->cmbInterface->count(), 3);
        QCOMPARE(w->cmbInterface->itemText(0), QString("eth0"));
        QCOMPARE(w->cmbInterface->itemText(1), QString("lo"));
        QCOMPARE(w->cmbInterface->itemText(2), QString("Pseudo-device that captures on all interfaces"));
        QCOMPARE(w->cmbInterface->itemData(2, Qt::ToolTipRole).toString(), QString("any"));
        QCOMPARE(w->cmbInterface->currentIndex(), 0);
        QCOMPARE(w->cmbInterface->currentText(), QString("eth0"));
        QVERIFY(w->cmbInterface->isEnabled());
        QCOMPARE(buttons(w), kIdle);
    }

    void noAdaptersFoundAndStartOnlyTellsTheUser()
    {
        FrmCapture* w = openWindow({});
        QCOMPARE(w->cmbInterface->count(), 0);
        QCOMPARE(w->cmbInterface->placeholderText(), QString("No adapters found"));
        QVERIFY(!w->cmbInterface->isEnabled());
        QCOMPARE(buttons(w), kIdle);

        storePackets(4);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(dialogs->shown[0].text.contains("No adapters found"));
        QCOMPARE(getPacketCount(), 4);   // no question, nothing reset or cleared
        QCOMPARE(view.clears, 0);
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
    }

    void adapterThatCannotBeOpenedLeavesTheWindowIdle()
    {
        FrmCapture* w = openWindow({{"nivora-gone0", "Vanished adapter"}});
        storePackets(5);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(dialogs->shown.size(), 1);   // the failure only; no overwrite question
        QVERIFY(dialogs->shown[0].text.startsWith("Cannot capture on Vanished adapter: "));
        QVERIFY(dialogs->shown[0].text.size() > QString("Cannot capture on Vanished adapter: ").size());
        QCOMPARE(getPacketCount(), 5);
        QCOMPARE(view.clears, 0);
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
    }

    void invalidFilterIsRefusedWithLibpcapsWords()
    {
        FrmCapture* w = openWindow({{"lo", ""}});
        w->txtFilter->setText("udp portt 53");
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(dialogs->shown[0].text.startsWith("The capture filter is not valid: "));
        QVERIFY(dialogs->shown[0].text.contains("syntax error"));
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
    }

    void missingRightsShowHowToGrantThem()
    {
        LoweredCaptureRights lowered;   // as root; an ordinary user lacks the rights anyway
        if (getuid() == 0 && !lowered.ok()) QSKIP("cannot drop the capture rights in this environment");
        FrmCapture* w = openWindow({{"lo", ""}});
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(dialogs->shown.size(), 1);
        const QString text = dialogs->shown[0].text;
        QVERIFY2(text.startsWith("Cannot capture on lo: "), qPrintable(text));
        QVERIFY(text.contains("Run the program as root"));
        QVERIFY(text.contains("setcap cap_net_raw,cap_net_admin=eip " + QCoreApplication::applicationFilePath()));
        QCOMPARE(buttons(w), kIdle);
    }

    void adapterWithoutEthernetFramesIsRefused()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        FrmCapture* w = openWindow({{"any", "Pseudo-device that captures on all interfaces"}});
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY2(dialogs->shown[0].text.endsWith("only Ethernet frames can be shown."), qPrintable(dialogs->shown[0].text));
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
    }

    void startThenStopTogglesTheButtonsAndStartResetsTheStoreEachTime()
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
        QCOMPARE(view.clears, 1);

        QTest::mouseClick(w->btnStop, Qt::LeftButton);
        QCOMPARE(buttons(w), kIdle);
        QVERIFY(!w->packet->isCapturing());
        QCOMPARE(w->lblStatus->text(), QString("Stopped: 0 frames received, 0 dropped"));

        dialogs->answers << MsgResult::Yes;
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(dialogs->capturingWhenAsked, (QList<bool>{true, true}));
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(view.clears, 3);   // the confirmed reset's clearing, then the window's own
        QCOMPARE(buttons(w), kCapturing);
        w->StopCapture();
        QCOMPARE(buttons(w), kIdle);
    }

    void closingTheWindowEndsItsCapture()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        FrmCapture* w = openWindow({{"lo", ""}});
        w->txtFilter->setText(kQuietFilter);
        w->StartCapture();
        QVERIFY(w->packet->isCapturing());
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
