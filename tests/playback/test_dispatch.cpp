// The filter, the protocol colours, the dispatch to the seven views and screenshots.
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "playback/frmEncodings.h"
#include "playback/modEncodings.h"
#include "playback/modFilters.h"
#include "playback/modScreenShots.h"
#include "playback/modVisualize.h"
#include "support/ScriptedDialogs.h"
#include "support/frames.h"
#include "vis/VisWindow.h"
#include "vis/frmVis3.h"
#include "vis/visWindows.h"

namespace {
// A view that records what the dispatch asks of it, in one journal shared by all views.
struct Recorder : VisWindow {
    int k;
    bool shown = true;
    QStringList* journal;
    std::function<void(const PacketToDraw&)> onPlot;
    QString screenshotSuffix;
    std::vector<QByteArray> plotted;   // the bytes each Plot saw, up to packetLen

    Recorder(int k, QStringList* journal) : k(k), journal(journal) {}
    void Plot(const PacketToDraw& p) override
    {
        *journal << QString("Plot%1:%2").arg(k).arg(p.number);
        plotted.emplace_back(reinterpret_cast<const char*>(p.bytes), p.len);
        if (onPlot) onPlot(p);
    }
    bool hasThumbnail() const override { return k != 7; }
    void plotThumbnail(const PacketToDraw& p) override { *journal << QString("thumb%1:%2").arg(k).arg(p.number); }
    void clear() override { *journal << QString("clear%1").arg(k); }
    void ScreenShot(const QString& systemTime, ScreenshotLog& log) override
    {
        PictureSurface pic;
        pic.resize(16, 8);
        writeScreenshot(pic, systemTime, screenshotSuffix.isEmpty() ? QString("_view%1.bmp").arg(k) : screenshotSuffix, log);
    }
    bool isShown() const override { return shown; }
};

int32_t addProtocol(int proto, int size = 60, uint8_t fill = 0)
{
    auto f = frames::ipv4(size, uint8_t(proto), 1000, 2000, 5, fill);
    return addPacket(f.data(), size - 1);
}
}

class TestDispatch : public QObject {
    Q_OBJECT
    QStringList journal;
    std::vector<std::unique_ptr<Recorder>> views;

    Recorder& view(int k) { return *views[size_t(k - 1)]; }
    void allToggles(bool down)
    {
        for (auto* t : {frmEncodings()->tglTCP, frmEncodings()->tglUDP, frmEncodings()->tglICMP,
                        frmEncodings()->tglIGMP, frmEncodings()->tglOtherTransport, frmEncodings()->tglUnkTransport})
            t->setChecked(down);
    }

private slots:
    void init()
    {
        resetBuffer("startup");
        journal.clear();
        views.clear();
        for (int k = 1; k <= 7; ++k) {
            views.push_back(std::make_unique<Recorder>(k, &journal));
            overrideVisWindow(k, views.back().get());
        }
        allToggles(false);
    }
    void cleanup()
    {
        for (int k = 1; k <= 7; ++k) overrideVisWindow(k, nullptr);
    }

    void filterByProtocolRows_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("toggle");
        QTest::newRow("1") << 1 << "tglICMP";
        QTest::newRow("2") << 2 << "tglIGMP";
        QTest::newRow("6") << 6 << "tglTCP";
        QTest::newRow("17") << 17 << "tglUDP";
        QTest::newRow("137") << 137 << "tglOtherTransport";
        QTest::newRow("138") << 138 << "tglUnkTransport";
        QTest::newRow("252") << 252 << "tglUnkTransport";
        QTest::newRow("253") << 253 << "tglOtherTransport";
        QTest::newRow("255") << 255 << "tglOtherTransport";
        QTest::newRow("0") << 0 << "tglOtherTransport";
    }
    void filterByProtocolRows()
    {
        QFETCH(int, protocol);
        QFETCH(QString, toggle);
        const int32_t n = addProtocol(protocol);
        QVERIFY(!filterPacket(n));
        for (auto* t : frmEncodings()->findChildren<QPushButton*>()) {
            t->setChecked(true);
            QCOMPARE(filterPacket(n), t->objectName() == toggle);
            t->setChecked(false);
        }
    }

    void coloursByProtocol()
    {
        QCOMPARE(encodingColor(6), rgb(0, 255, 0));
        QCOMPARE(encodingColor(17), rgb(255, 128, 0));
        QCOMPARE(encodingColor(1), rgb(0, 0, 255));
        QCOMPARE(encodingColor(2), encodingColor(1));
        QCOMPARE(encodingColor(138), rgb(255, 128, 128));
        QCOMPARE(encodingColor(252), rgb(255, 128, 128));
        for (int p : {0, 137, 253, 255}) QCOMPARE(encodingColor(p), rgb(255, 255, 128));
    }

    void swatchesChangeColoursAndClosingResetsTheWindow()
    {
        ScriptedDialogs dialogs;
        dialogs.colors << rgb(1, 2, 3) << rgb(9, 9, 9);
        QTest::mouseClick(frmEncodings()->swatch("picTCP"), Qt::LeftButton);
        QCOMPARE(tcpColor, rgb(1, 2, 3));
        QCOMPARE(frmEncodings()->swatchColor("picTCP"), rgb(1, 2, 3));
        QCOMPARE(encodingColor(6), rgb(1, 2, 3));
        QTest::mouseClick(frmEncodings()->swatch("picEther"), Qt::LeftButton);
        QCOMPARE(etherColor, rgb(9, 9, 9));
        QTest::mouseClick(frmEncodings()->swatch("picUDP"), Qt::LeftButton);   // dialog cancelled
        QCOMPARE(udpColor, rgb(255, 128, 0));
        frmEncodings()->tglTCP->setChecked(true);
        frmEncodings()->findChild<QCheckBox*>("chkTCPSYN")->setChecked(true);

        frmEncodings()->close();
        const int32_t n = addProtocol(6);
        QVERIFY(!filterPacket(n));   // a fresh window, every toggle up
        QVERIFY(!frmEncodings()->findChild<QCheckBox*>("chkTCPSYN")->isChecked());
        QCOMPARE(tcpColor, rgb(0, 255, 0));
        QCOMPARE(etherColor, rgb(9, 9, 9));   // Ethernet and IP keep theirs
        etherColor = rgb(128, 255, 128);
    }

    void dispatchOrder()
    {
        view(2).shown = false;
        displayPackets(addProtocol(6), 1);
        QCOMPARE(journal, (QStringList{"Plot1:1", "thumb1:1", "thumb2:1", "Plot3:1", "thumb3:1", "Plot4:1",
                                       "thumb4:1", "Plot5:1", "thumb5:1", "Plot6:1", "thumb6:1", "Plot7:1"}));
    }

    void hiddenPacketsAndEmptyRangesDrawNothing()
    {
        addProtocol(6);
        addProtocol(17);
        frmEncodings()->tglTCP->setChecked(true);
        displayPackets(1, 1);
        QVERIFY(journal.isEmpty());
        displayPackets(2, 1);
        QVERIFY(journal.isEmpty());
        displayPackets(0, 0);   // an empty frame's "slot": not slot 30000
        displayPackets(-3, 0);
        QVERIFY(journal.isEmpty());
        displayPackets(1, 2);
        QCOMPARE(journal.first(), QString("Plot1:2"));
    }

    void shortPacketSeesOnlyItsOwnBytes()
    {
        addProtocol(6, 1514, 0xAA);
        addProtocol(6, 60, 0x55);
        displayPackets(1, 2);
        QCOMPARE(view(1).plotted.size(), size_t(2));
        const QByteArray& shortOne = view(1).plotted[1];
        QCOMPARE(shortOne.size(), 60);
        QCOMPARE(uint8_t(shortOne.at(59)), uint8_t(0x55));
        // The histogram counts the short packet's bytes only.
        QCOMPARE(byteFrequency()[0xAA], 0.0f);
    }

    void clearGoesToEveryView()
    {
        clearVisualizations();
        QCOMPARE(journal, (QStringList{"clear1", "clear2", "clear3", "clear4", "clear5", "clear6", "clear7"}));
    }

    void nestedDisplayAndClosedWindowSurvive()
    {
        overrideVisWindow(3, nullptr);   // view 3 is the real window, closed mid-range
        for (int i = 0; i < 6; ++i) addProtocol(6);
        QPointer<FrmVis3> real = frmVis3();
        real->show();
        bool nested = false;
        view(1).onPlot = [&](const PacketToDraw& p) {
            if (p.number != 2 || nested) return;
            nested = true;
            QTimer::singleShot(0, [&] {
                frmVis3()->close();
                displayPackets(6, 6);
            });
            QThread::msleep(10);   // let the next yield point run the events
        };
        displayPackets(1, 5);
        QStringList plots = journal.filter(QRegularExpression("^Plot1:"));
        QCOMPARE(plots.size(), 6);
        QVERIFY(plots.indexOf("Plot1:6") > plots.indexOf("Plot1:2"));
        QVERIFY(plots.indexOf("Plot1:6") < plots.indexOf("Plot1:5"));
        QVERIFY(frmVis3() != real.data());
        QVERIFY(!frmVis3()->isVisible());
    }

    void screenshotsOfShownViews()
    {
        ScriptedDialogs dialogs;
        const QDateTime when(QDate(2026, 12, 5), QTime(15, 26, 53));
        QCOMPARE(screenshotTimeStamp(when), QString("20261205_152653"));
        QCOMPARE(screenshotPath("20261205_152653", "_textrainfall.bmp"),
                 QCoreApplication::applicationDirPath() + "/20261205_152653_textrainfall.bmp");

        for (int k = 1; k <= 7; ++k) view(k).shown = false;
        const QDir dir(QCoreApplication::applicationDirPath());
        const auto bmps = [&] { return dir.entryList({"*_view*.bmp"}); };
        for (const QString& f : bmps()) QFile::remove(dir.filePath(f));
        saveScreenshots();
        QVERIFY(bmps().isEmpty());

        view(2).shown = view(5).shown = view(7).shown = true;
        saveScreenshots();
        const QStringList written = bmps();
        QCOMPARE(written.size(), 2);   // the detail view is never asked
        QCOMPARE(written[0].left(15), written[1].left(15));   // one time stamp per call
        QVERIFY(written[0].endsWith("_view2.bmp") && written[1].endsWith("_view5.bmp"));
        QCOMPARE(QImage(dir.filePath(written[0])).size(), QSize(16, 8));
        for (const QString& f : written) QFile::remove(dir.filePath(f));
        QVERIFY(dialogs.shown.isEmpty());

        // A file that cannot be written is named with its reason; the others are still written.
        view(2).screenshotSuffix = "/no-such-folder/x.bmp";
        saveScreenshots();
        QCOMPARE(bmps().size(), 1);
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY(dialogs.shown[0].text.contains("no-such-folder/x.bmp"));
        QCOMPARE(dialogs.shown[0].icon, MsgIcon::Exclamation);
        for (const QString& f : bmps()) QFile::remove(dir.filePath(f));
    }
};

QTEST_MAIN(TestDispatch)
#include "test_dispatch.moc"
