// The protocol settings (filter and colours), the "filters" window that edits
// them, and the dispatch to the seven views.
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <optional>

#include "app/frmMain.h"
#include "core/drawnSequence.h"
#include "core/modEncodings.h"
#include "core/modFilters.h"
#include "core/modLibrary.h"
#include "playback/frmEncodings.h"
#include "playback/frmFilters.h"
#include "platform/PictureSurface.h"
#include "support/ScriptedDialogs.h"
#include "playback/modVisualize.h"
#include "support/RecordingView.h"
#include "support/frames.h"
#include "ui/controlNames.h"
#include "vis/VisForm.h"
#include "vis/frmVis3.h"
#include "vis/frmVis7.h"

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

// Packets of every class and many sizes, addresses, ports and bytes.
void addMixedTraffic(int count)
{
    const uint8_t protocols[] = {6, 17, 6, 1, 2, 50, 200, 17};
    for (int i = 0; i < count; ++i) {
        Frame f = frames::ipv4(60 + (i * 37) % 1460, protocols[i % 8], uint16_t(i * 13), uint16_t(80 + i % 5), 5,
                               uint8_t(i * 7));
        f[26] = uint8_t(i * 11);
        f[27] = uint8_t(i >> 3);
        f[33] = uint8_t(i);
        add(f);
    }
}

// Everything view k shows: its pictures, its thumbnail, the detail view's texts.
QList<QImage> picturesOf(int k)
{
    QList<QImage> shown;
    VisForm* window = viewRow(k).window();
    for (const PictureSurface* picture : window->screenshotPictures()) shown << picture->image();
    if (viewRow(k).thumbIndex != 0) shown << thumbnailTarget(viewRow(k).thumbIndex).picture->image();
    if (k == 7) {
        frmVis7()->flush();
        for (const QPlainTextEdit* box : {frmVis7()->txtASCII, frmVis7()->txtHex}) {
            const QString text = box->toPlainText();   // as a row of 16-bit pixels
            shown << QImage(reinterpret_cast<const uchar*>(text.utf16()), int(text.size()), 1,
                            QImage::Format_Grayscale16).copy();
        }
    }
    return shown;
}

// "cmbVisMode=2 radScroll[1] tglASCII": a list index, a radio button or toggle pressed.
void setControls(int k, const QString& settings)
{
    for (const QString& setting : settings.split(' ', Qt::SkipEmptyParts)) {
        const QStringList parts = setting.split('=');
        QWidget* control = findControl(viewRow(k).window(), parts[0]);
        if (auto* list = qobject_cast<QComboBox*>(control)) list->setCurrentIndex(parts[1].toInt());
        else qobject_cast<QAbstractButton*>(control)->setChecked(true);
    }
}
}

class TestDispatch : public QObject {
    Q_OBJECT
    std::optional<RecordingViews> views;
    RecordingView& view(int k) { return (*views)[k]; }

private slots:
    void init()
    {
        resetBuffer("startup");
        clearVisualizations();
        views.emplace();
    }
    void cleanup()
    {
        views.reset();
        frmEncodings()->close();   // every class shown, every control as designed for the next test
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A toggle hides its class (137 is the last other legal number, 138..252
    // unassigned), IP
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
        QTest::newRow("unassigned 252") << QStringList{"tglUnkTransport"} << frames::ipv4(60, 252) << true;
        QTest::newRow("other legal 253") << QStringList{"tglOtherTransport"} << frames::ipv4(60, 253) << true;
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
    // toggles that do nothing never look hidden. (A swatch's click picking a
    // colour: TestMainWindow::nothingPersists.)
    void pressedTogglesLookHiddenUntilTheWindowCloses()
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
        // Closed, the window lets every class and packet through in the default
        // colours; Ethernet and IP keep theirs.
        protocolSettings().color(ProtocolClass::Tcp) = rgb(1, 2, 3);
        for (const char* name : {"tglTCP", "chkTCPSYN", "tglEther", "tglIP"}) w->findChild<QAbstractButton*>(name)->setChecked(true);
        w->close();
        for (const Frame& f : {tcp(0x12), arp}) QVERIFY(!filterPacket(add(f)));
        QCOMPARE(encodingColor(6), rgb(0, 255, 0));
        QCOMPARE(protocolSettings().etherColor, rgb(1, 2, 3));
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

    // What the user may do while packets 1..5 are drawn, at the yield point
    // after packet 2: what view 1 gets, and what stays in the drawn sequence.
    // A real view closed then (its window deleted) leaves the drawing going.
    void duringADrawing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("kept");
        QTest::newRow("a step") << "display 6" << "P1 P2 P3 P4 P5 P6" << "0:1-6";
        QTest::newRow("redraw") << "redraw" << "P1 P2 clear P1 P2 P3 P4 P5" << "0:1-5";
        QTest::newRow("redraw, 1 and 2 left the ring") << "fill redraw" << "P1 P2 clear P3 P4 P5" << "2:3-5";
        QTest::newRow("Stop") << "stop" << "P1 P2" << "0:1-2";
        QTest::newRow("a new load") << "clear display 6" << "P1 P2 clear P6" << "0:6-6";
        QTest::newRow("everything hidden, redraw") << "hide redraw" << "P1 P2 clear" << "0:1-5";
        QTest::newRow("view 1 opened") << "open" << "P1 P2 P3 P4 P5" << "0:1-5";
        QTest::newRow("view 3 closed") << "close" << "P1 P2 P3 P4 P5" << "0:1-5";
    }
    void duringADrawing()
    {
        QFETCH(QString, action);
        for (int i = 0; i < 6; ++i) add(frames::ipv4(60, 6));
        if (action == "open") view(1).shown = false;
        if (action == "close") {
            overrideView(3, nullptr, nullptr);   // the real window
            frmVis3()->show();
        }
        bool acted = false;
        view(2).onPlot = [&](int32_t n) {
            if (n != 2 || acted) return;
            acted = true;
            QTimer::singleShot(0, [&] {
                for (const QString& word : action.split(' ')) {
                    if (word == "display") displayPackets(6, 6);
                    if (word == "redraw") redrawVisualizations();
                    if (word == "stop") frmFilters()->btnStop->click();
                    if (word == "clear") clearVisualizations();
                    if (word == "fill") while (firstHeldPacket() < 3) add(frames::ipv4(60, 6));
                    if (word == "hide") protocolSettings().hidden.fill(true);
                    if (word == "close") frmVis3()->close();
                    if (word == "open") {
                        view(1).shown = true;
                        announceViewOpened(1);
                    }
                }
            });
            QThread::msleep(10);   // let the next yield point run the events
        };
        displayPackets(1, 5);
        QStringList calls;
        for (const RecordingView::Entry& e : view(1).calls) {
            if (e.call == RecordingView::Call::Clear) calls << "clear";
            if (e.call == RecordingView::Call::Plot) calls << QString("P%1").arg(e.packet);
        }
        QTEST(calls.join(' '), "calls");
        QStringList runs;
        for (const PacketRun& r : drawnSequence().runs()) runs << QString("%1:%2-%3").arg(r.position).arg(r.first).arg(r.last);
        QTEST(runs.join(' '), "kept");
        QVERIFY(!drawingUnderway());
        protocolSettings() = ProtocolSettings{};
    }

    // A view opened onto packets drawn while it was hidden gets them at once,
    // once; one that drew since the clear keeps its own picture.
    void openedViewGetsTheDrawnSequence()
    {
        for (int i = 0; i < 4; ++i) add(frames::ipv4(60, i % 2 ? 17 : 6));
        view(3).shown = false;
        protocolSettings().hides(ProtocolClass::Udp) = true;
        displayPackets(1, 4);
        view(3).shown = true;
        announceViewOpened(3);
        announceViewOpened(3);
        QCOMPARE(view(3).plotted(), (QList<int32_t>{1, 3}));
        view(1).forget();
        announceViewOpened(1);
        QCOMPARE(view(1).plotted(), QList<int32_t>{});
        protocolSettings().hides(ProtocolClass::Udp) = false;
        clearVisualizations();
        announceViewOpened(1);   // nothing to draw after a clear
        QCOMPARE(view(1).plotted(), QList<int32_t>{});
        redrawVisualizations();   // an empty sequence: the views are cleared, nothing drawn
        QCOMPARE(view(1).count(RecordingView::Call::Plot), 0);
        QCOMPARE(view(1).count(RecordingView::Call::Clear), 2);
    }

    // Drawn at once, a scrolling view leaves out the packets that scroll out;
    // its pictures and thumbnail end as they do when the packets come one by
    // one. A view opened onto them afterwards shows the same. The 1000 packets
    // scroll every view over several times and cross the ring's end.
    void batchDrawEqualsPacketByPacket_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("settings");
        const std::pair<int, const char*> modes[] = {
            {1, ""}, {1, "cmbVisMode=1"}, {1, "cmbVisMode=2"}, {1, "tglPrintASCII"}, {1, "tglEther"},
            {2, ""}, {2, "cmbVisMode=1"}, {2, "radScroll[1]"}, {2, "cmbVisMode=1 radScroll[1]"},
            {3, ""}, {4, "cmbVisMode=0"}, {4, "cmbVisMode=1"}, {4, ""}, {4, "cmbVisMode=3"},
            {4, "cmbVisMode=0 radScroll[1]"}, {4, "cmbVisMode=3 tglASCII tglNOP radScroll[1]"},
            {5, ""}, {6, ""}, {7, ""}};
        for (const auto& [k, settings] : modes) QTest::addRow("view %d %s", k, settings) << k << QString(settings);
    }
    void batchDrawEqualsPacketByPacket()
    {
        QFETCH(int, k);
        QFETCH(QString, settings);
        views.reset();
        addMixedTraffic(kSlotCount + 500);
        const int32_t first = int32_t(getPacketCount()) - 999, last = int32_t(getPacketCount());
        VisForm* window = viewRow(k).window();
        window->show();
        setControls(k, settings);
        clearVisualizations();
        for (int32_t p = first; p <= last; ++p) displayPackets(p, p);
        const QList<QImage> oneByOne = picturesOf(k);
        clearVisualizations();
        displayPackets(first, last);
        QVERIFY(picturesOf(k) == oneByOne);
        clearVisualizations();
        window->hide();
        displayPackets(first, last);
        window->show();
        QVERIFY(picturesOf(k) == oneByOne);
        window->close();
    }

    // F5 and "Apply to shown packets" draw what was shown again with the
    // filter as it is now (the pictures that gives: batchDrawEqualsPacketByPacket).
    void redrawAppliesTheFilter()
    {
        QAction* redraw = frmMain()->findChild<QAction*>("Redraw");   // the main window empties the store
        QCOMPARE(redraw->shortcut(), QKeySequence(Qt::Key_F5));
        add(frames::ipv4(60, 6));
        add(frames::ipv4(60, 17));
        displayPackets(1, 2);
        view(1).forget();
        frmEncodings()->tglUDP->setChecked(true);
        QCOMPARE(view(1).calls, QList<RecordingView::Entry>{});   // the toggle alone changes nothing drawn
        redraw->trigger();
        QCOMPARE(view(1).plotted(), QList<int32_t>{1});
        frmEncodings()->tglUDP->setChecked(false);
        frmEncodings()->tglTCP->setChecked(true);
        view(1).forget();
        frmEncodings()->btnApplyShown->click();
        QCOMPARE(view(1).plotted(), QList<int32_t>{2});
        QCOMPARE(view(1).count(RecordingView::Call::Clear), 1);
    }

    // A view resized in the middle of a redraw starts afresh at its new size
    // and shows the packets drawn after that.
    void viewResizedDuringARedraw()
    {
        views.reset();
        addMixedTraffic(30000);
        VisForm* rain = viewRow(1).window();
        rain->show();
        displayPackets(1, 30000);
        // The scatter plot's stand-in resizes the text rainfall as packet 100 is redrawn.
        RecordingView trigger;
        trigger.onPlot = [rain](int32_t n) {
            if (n != 100) return;
            rain->resize(rain->width() / 2, rain->height() / 2);
            QCoreApplication::processEvents();
        };
        overrideView(5, &trigger, &trigger);
        redrawVisualizations();
        overrideView(5, nullptr, nullptr);
        QVERIFY(!drawingUnderway());
        const QList<QImage> redrawn = picturesOf(1);
        QCOMPARE(redrawn.first().size(), rain->findChild<PictureSurface*>("picGraph")->size());
        clearVisualizations();
        displayPackets(101, 30000);   // what came after the resize, at the new size
        QVERIFY(picturesOf(1)[0] == redrawn[0]);
        rain->close();
    }

    // A drawing that lasts shows its progress in the player, and Escape ends it.
    void longDrawingShowsProgressAndStopsOnEscape()
    {
        for (int i = 0; i < 20; ++i) add(frames::ipv4(60, 6));
        bool barShown = false;
        view(1).onPlot = [&](int32_t n) {
            if (n == 1) QThread::msleep(350);
            if (n == 3) {
                barShown = !frmFilters()->pbDraw->isHidden() && frmFilters()->pbDraw->maximum() == 20;
                QCoreApplication::postEvent(frmFilters(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
            }
            QThread::msleep(5);
        };
        displayPackets(1, 20);
        QVERIFY(barShown);
        QVERIFY(view(1).plotted().size() < 20);
        QCOMPARE(drawnSequence().size(), int64_t(view(1).plotted().size()));
        QVERIFY(frmFilters()->pbDraw->isHidden());
    }
};

QTEST_MAIN(TestDispatch)
#include "test_dispatch.moc"
