// The protocol settings (filter and colours), the "filters" window that edits
// them, the dispatch to the seven views and screenshots.
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <optional>

#include "core/modEncodings.h"
#include "core/modFilters.h"
#include "core/modLibrary.h"
#include "core/modLookUp.h"
#include "playback/frmEncodings.h"
#include "playback/modScreenShots.h"
#include "playback/modVisualize.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/frames.h"
#include "vis/frmVis3.h"
#include "vis/screenshotFiles.h"

namespace {
int32_t addProtocol(int proto, int size = 60, uint8_t fill = 0)
{
    auto f = frames::ipv4(size, uint8_t(proto), 1000, 2000, 5, fill);
    return addPacket(f.data(), size - 1);
}

int topLevelCount(const QString& name)
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += w->objectName() == name;
    return n;
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
        views.emplace();
    }
    void cleanup()
    {
        views.reset();
        protocolSettings().resetClasses();
    }

    // First, while the "filters" window has never been opened.
    void filteringCreatesNoWindow()
    {
        protocolSettings().hides(ProtocolClass::Udp) = true;
        addProtocol(17);
        displayPackets(1, addProtocol(6));
        QCOMPARE(view(1).plotted(), QList<int32_t>{2});
        QCOMPARE(topLevelCount("frmEncodings"), 0);
    }

    // The class decided by number agrees with the protocol's keyword everywhere.
    void classesFollowTheKeywords()
    {
        for (int p = 0; p <= 255; ++p) {
            const std::string_view k = protocolName(p);
            const ProtocolClass expected = k == "TCP" ? ProtocolClass::Tcp
                                           : k == "UDP" ? ProtocolClass::Udp
                                           : k == "ICMP" ? ProtocolClass::Icmp
                                           : k == "IGMP" ? ProtocolClass::Igmp
                                           : k == "Unassigned" ? ProtocolClass::Unassigned
                                                               : ProtocolClass::OtherLegal;
            QVERIFY2(classify(p) == expected, qPrintable(QString::number(p)));
        }
    }

    void togglesHideTheirClass_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("toggle");
        QTest::addColumn<ColorRef>("color");
        QTest::newRow("1") << 1 << "tglICMP" << rgb(0, 0, 255);
        QTest::newRow("2") << 2 << "tglIGMP" << rgb(0, 0, 255);
        QTest::newRow("6") << 6 << "tglTCP" << rgb(0, 255, 0);
        QTest::newRow("17") << 17 << "tglUDP" << rgb(255, 128, 0);
        QTest::newRow("137") << 137 << "tglOtherTransport" << rgb(255, 255, 128);
        QTest::newRow("138") << 138 << "tglUnkTransport" << rgb(255, 128, 128);
        QTest::newRow("252") << 252 << "tglUnkTransport" << rgb(255, 128, 128);
        QTest::newRow("253") << 253 << "tglOtherTransport" << rgb(255, 255, 128);
        QTest::newRow("0") << 0 << "tglOtherTransport" << rgb(255, 255, 128);
    }
    void togglesHideTheirClass()
    {
        QFETCH(int, protocol);
        QFETCH(QString, toggle);
        QFETCH(ColorRef, color);
        const int32_t n = addProtocol(protocol);
        QCOMPARE(encodingColor(protocol), color);
        QVERIFY(!filterPacket(n));
        for (auto* t : frmEncodings()->findChildren<QPushButton*>()) {
            t->setChecked(true);
            QCOMPARE(filterPacket(n), t->objectName() == toggle || t->objectName() == "tglIP");   // IP: every IPv4 packet
            t->setChecked(false);
        }
    }

    void swatchesChangeColoursAndClosingResetsTheWindow()
    {
        ScriptedDialogs dialogs;
        dialogs.colors << rgb(1, 2, 3) << rgb(9, 9, 9);
        QTest::mouseClick(frmEncodings()->swatch("picTCP"), Qt::LeftButton);
        QCOMPARE(frmEncodings()->swatchColor("picTCP"), rgb(1, 2, 3));
        QCOMPARE(encodingColor(6), rgb(1, 2, 3));
        QCOMPARE(encodingColor(1), encodingColor(2));
        QTest::mouseClick(frmEncodings()->swatch("picEther"), Qt::LeftButton);
        QCOMPARE(protocolSettings().etherColor, rgb(9, 9, 9));
        QTest::mouseClick(frmEncodings()->swatch("picUDP"), Qt::LeftButton);   // dialog cancelled
        QCOMPARE(encodingColor(17), rgb(255, 128, 0));
        frmEncodings()->tglTCP->setChecked(true);
        frmEncodings()->findChild<QCheckBox*>("chkTCPSYN")->setChecked(true);

        frmEncodings()->close();
        const int32_t n = addProtocol(6);
        QVERIFY(!filterPacket(n));   // every class shown again
        QCOMPARE(encodingColor(6), rgb(0, 255, 0));
        QVERIFY(!frmEncodings()->tglTCP->isChecked());   // a fresh window shows it
        QVERIFY(!frmEncodings()->findChild<QCheckBox*>("chkTCPSYN")->isChecked());
        QCOMPARE(protocolSettings().etherColor, rgb(9, 9, 9));   // Ethernet and IP keep theirs
        protocolSettings().etherColor = rgb(128, 255, 128);
    }

    void dispatchOrder()
    {
        view(2).shown = false;
        displayPackets(addProtocol(6), 1);
        QCOMPARE(views->journal, (QStringList{"Plot1:1", "thumb1:1", "thumb2:1", "Plot3:1", "thumb3:1", "Plot4:1",
                                              "thumb4:1", "Plot5:1", "thumb5:1", "Plot6:1", "thumb6:1", "Plot7:1"}));
        views->forget();
        clearVisualizations();
        QCOMPARE(views->journal, (QStringList{"clear1", "clear2", "clear3", "clear4", "clear5", "clear6", "clear7"}));
    }

    void hiddenPacketsAndEmptyRangesDrawNothing()
    {
        addProtocol(6);
        addProtocol(17);
        protocolSettings().hides(ProtocolClass::Tcp) = true;
        displayPackets(1, 1);
        displayPackets(2, 1);
        displayPackets(0, 0);   // an empty frame's "slot": not slot 30000
        displayPackets(-3, 0);
        QVERIFY(views->journal.isEmpty());
        displayPackets(1, 2);
        QCOMPARE(views->journal.first(), QString("Plot1:2"));
    }

    void shortPacketSeesOnlyItsOwnBytes()
    {
        addProtocol(6, 1514, 0xAA);
        addProtocol(6, 60, 0x55);
        displayPackets(1, 2);
        QCOMPARE(view(1).lastBytes.size(), 60);
        QCOMPARE(uint8_t(view(1).lastBytes.at(59)), uint8_t(0x55));
        QCOMPARE(byteFrequency()[0xAA], 0.0f);   // the histogram counts the short packet's bytes only
    }

    void nestedDisplayAndClosedWindowSurvive()
    {
        overrideView(3, nullptr, nullptr);   // view 3 is the real window, closed mid-range
        for (int i = 0; i < 6; ++i) addProtocol(6);
        QPointer<FrmVis3> real = frmVis3();
        real->show();
        bool nested = false;
        view(1).onPlot = [&](int32_t n) {
            if (n != 2 || nested) return;
            nested = true;
            QTimer::singleShot(0, [&] {
                frmVis3()->close();
                displayPackets(6, 6);
            });
            QThread::msleep(10);   // let the next yield point run the events
        };
        displayPackets(1, 5);
        QCOMPARE(view(1).plotted(), (QList<int32_t>{1, 2, 6, 3, 4, 5}));
        QVERIFY(frmVis3() != real.data());
        QVERIFY(!frmVis3()->isVisible());
    }

    void screenshotsOfShownViews()
    {
        ScriptedDialogs dialogs;
        QCOMPARE(screenshotTimeStamp(QDateTime(QDate(2026, 12, 5), QTime(15, 26, 53))), QString("20261205_152653"));
        const QDir dir(QCoreApplication::applicationDirPath());
        const auto bmps = [&] { return dir.entryList({"2*.bmp"}, QDir::Files); };
        const auto removeAll = [&] {
            for (const QString& f : dir.entryList({"2*.bmp"}, QDir::Files)) QFile::remove(dir.filePath(f));
            for (const QString& f : dir.entryList({"2*.bmp"}, QDir::Dirs)) dir.rmdir(f);
        };
        removeAll();
        for (int k = 1; k <= 7; ++k) view(k).shown = false;
        saveScreenshots();
        QVERIFY(bmps().isEmpty());

        view(2).shown = view(6).shown = view(7).shown = true;
        saveScreenshots();
        const QStringList written = bmps();   // the detail view is never asked
        QCOMPARE(written.size(), 2);
        QCOMPARE(written[0].left(15), written[1].left(15));   // one time stamp per call
        QVERIFY(written[0].endsWith("_bytefrequency.bmp") && written[1].endsWith("_combined_left.bmp"));
        QCOMPARE(QImage(dir.filePath(written[0])).size(), QSize(16, 8));
        QVERIFY(dialogs.shown.isEmpty());
        removeAll();

        // A file that cannot be written (a folder stands in its way) is named
        // with its reason; the others are still written.
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 3; ++s) dir.mkdir(screenshotTimeStamp(now.addSecs(s)) + "_bytefrequency.bmp");
        saveScreenshots();
        QCOMPARE(bmps().size(), 1);
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY(dialogs.shown[0].text.contains("_bytefrequency.bmp"));
        QCOMPARE(dialogs.shown[0].icon, MsgIcon::Exclamation);
        removeAll();
    }
};

QTEST_MAIN(TestDispatch)
#include "test_dispatch.moc"
