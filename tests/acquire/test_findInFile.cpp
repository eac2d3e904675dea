// Find in file and windows by time as the user meets them in the "Load
// Dataset" window: an expression run over a 100,000-frame capture, its
// matches on the strip and in words, File > Next Match and Previous Match
// (F3, Shift+F3) along them and at the file's ends, a file with no match, a
// pass stopped, a file replaced since it was searched; a window chosen by a
// local time or by seconds since 1970, and the times refused.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "acquire/frmLoadDataset.h"
#include "acquire/modFileWindow.h"
#include "acquire/overviewStrip.h"
#include "app/frmMain.h"
#include "playback/frmFilters.h"
#include "support/ScriptedDialogs.h"
#include "support/recordedFiles.h"

namespace {
constexpr int kFrames = 100000;

// Numbered UDP frames, frame n at 1700000000 + (n - 1) s; those in `tcp` are TCP.
std::vector<recorded::Frame> framesWithTcpAt(const QList<int>& tcp)
{
    std::vector<recorded::Frame> all = recorded::numbered(1, kFrames);
    for (int n : tcp) all[size_t(n - 1)] = frames::ipv4(60, 6, uint16_t(n), uint16_t(n >> 16));
    return all;
}

void trigger(const char* item) { frmMain()->menuItem(item)->trigger(); }
QString held() { return frmFilters()->lblFileWindow->text(); }

// Where the strip of the shown chooser draws the window, as a share of its
// width: the first column its frame lights in the top row, above the marks.
double windowOnStrip()
{
    if (!frmLoadDataset()->isVisible() || !frmLoadDataset()->fraWindow->isVisible()) return -1;
    const QImage strip = frmLoadDataset()->picOverview->grab().toImage();
    for (int x = 0; x < strip.width(); ++x)
        if ((strip.pixel(x, 0) & 0xFFFFFF) != 0) return double(x - 2) / (strip.width() - 4);
    return -1;
}
}

class TestFindInFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ScriptedDialogs* dialogs = nullptr;

    void open(const QString& path)
    {
        dialogs->fileNames.enqueue(path);
        trigger("LoadCapture");
        QVERIFY(frmLoadDataset()->fraWindow->isVisible());
    }
    void find(const QString& expression)
    {
        frmLoadDataset()->cmbFindInFile->setEditText(expression);
        frmLoadDataset()->btnFindInFile->click();
    }
    QString result() const { return frmLoadDataset()->lblFindResult->text(); }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        tzset();
        frmMain();
        QVERIFY(recorded::writePcap(dir.filePath("four.pcap"), framesWithTcpAt({5, 40000, 40001, 99990})));
    }
    void init()
    {
        dialogs = new ScriptedDialogs;
        resetBuffer("startup");
    }
    void cleanup() { delete dialogs; }

    // Four matches. F3 with the expression typed but not yet found finds it
    // first: the strip marks them (a single one shows), the window names the
    // first. F3 three times walks them, the chooser staying up with the window
    // on the strip, the last window ending at the file's end, then goes
    // nowhere; Shift+F3 walks back to the first.
    void nextAndPreviousMatch()
    {
        open(dir.filePath("four.pcap"));
        frmLoadDataset()->cmbFindInFile->setEditText("tcp");
        QVERIFY(canLoadMatchWindow(1));
        const QList<std::pair<QString, int>> forward = {
            {"5 - 30004 of 100,000", 5}, {"40000 - 69999 of 100,000", 40000}, {"70001 - 100000 of 100,000", 70001}};
        for (const auto& [window, first] : forward) {
            trigger("NextMatch");
            QCOMPARE(held(), window);
            QVERIFY2(std::abs(windowOnStrip() - double(first - 1) / kFrames) < 0.01, qPrintable(QString::number(windowOnStrip())));
            QCOMPARE(frmLoadDataset()->txtWindowFirst->text(), QString::number(first));
        }
        QCOMPARE(result(), QString("4 frames match; first at frame 5 (2023-11-14 22:13:24.000004)"));
        const QString atStart = frmLoadDataset()->picOverview->pointerText(2);
        QVERIFY2(atStart.startsWith("Frame 1 at 2023-11-14 22:13:20") && atStart.contains("; 1 matching here"), qPrintable(atStart));
        trigger("NextMatch");   // no match after the last window
        QCOMPARE(held(), forward.last().first);
        const QStringList back = {"40001 - 70000 of 100,000", "40000 - 69999 of 100,000", "5 - 30004 of 100,000"};
        for (const QString& window : back) {
            trigger("PreviousMatch");
            QCOMPARE(held(), window);
        }
        trigger("PreviousMatch");   // none before the first
        QCOMPARE(held(), back.last());
        QVERIFY(dialogs->shown.isEmpty());
    }

    // F3 with nothing found and nothing typed says what to do. Nothing matches:
    // said so, and F3 loads nothing. A bad expression is named with libpcap's reason.
    void noMatchAndBadExpressions()
    {
        open(dir.filePath("four.pcap"));
        frmLoadDataset()->cmbFindInFile->setEditText("");
        trigger("NextMatch");
        QVERIFY2(dialogs->shown.value(0).text.startsWith("Nothing has been found in the file yet: type a filter expression"),
                 qPrintable(dialogs->shown.value(0).text));
        find("host 203.0.113.9");
        QCOMPARE(result(), QString("0 frames match"));
        QVERIFY(!canLoadMatchWindow(1));
        trigger("NextMatch");
        QCOMPARE(getPacketCount(), 0);
        find("tcp port");
        QVERIFY2(dialogs->shown.value(1).text.contains("Cannot find \"tcp port\" in the file: can't parse filter expression: syntax error"), qPrintable(dialogs->shown.value(1).text));
    }

    // Stop, pressed while the pass lets events run: the pass ends there. F3
    // goes on with it from there to the file's end, then to the first match.
    void stoppedFind()
    {
        open(dir.filePath("four.pcap"));
        QTimer::singleShot(0, frmLoadDataset()->btnStopFind, &QPushButton::click);
        find("udp");
        // Stopped at the first progress that let events run: a multiple of 4096 frames, all UDP but frame 5.
        const QRegularExpressionMatch said = QRegularExpression("^Stopped after ([0-9,]+) frames: ([0-9,]+) frames match").match(result());
        QVERIFY2(said.hasMatch(), qPrintable(result()));
        const int read = said.captured(1).remove(',').toInt();
        QVERIFY(read % 4096 == 0 && read < kFrames);
        QCOMPARE(said.captured(2).remove(',').toInt(), read - 1);
        QVERIFY(frmLoadDataset()->btnFindInFile->isEnabled() && !frmLoadDataset()->btnStopFind->isEnabled());
        QVERIFY(canLoadMatchWindow(1));
        trigger("NextMatch");
        QCOMPARE(result(), QString("99,996 frames match; first at frame 1 (2023-11-14 22:13:20.000000)"));
        QCOMPARE(held(), QString("1 - 30000 of 100,000"));
    }

    // Replaced after the find: F3 indexes and searches the new file first, and goes to its match.
    void fileReplacedSinceTheFind()
    {
        const QString path = dir.filePath("replaced.pcap");
        QVERIFY(recorded::writePcap(path, framesWithTcpAt({5})));
        open(path);
        find("tcp");
        QVERIFY(result().startsWith("1 frame match; first at frame 5 "));
        QTest::qWait(10);   // a modification time of its own
        QVERIFY(recorded::writePcap(path, framesWithTcpAt({77777})));
        trigger("NextMatch");
        QVERIFY2(result().startsWith("1 frame match; first at frame 77777 "), qPrintable(result()));
        QCOMPARE(held(), QString("70001 - 100000 of 100,000"));
    }

    // A window by time: local as the player shows it, or @ and seconds since
    // 1970; after every frame, a dataset, or no time at all: refused, saying why.
    void windowByTime_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("told");
        QTest::newRow("local time") << "four.pcap" << "2023-11-14 22:13:30" << "11 - 30010 of 100,000" << "";
        QTest::newRow("seconds since 1970") << "four.pcap" << "@1700000020.5" << "22 - 30021 of 100,000" << "";
        QTest::newRow("before the first") << "four.pcap" << "@1600000000" << "1 - 30000 of 100,000" << "";
        QTest::newRow("after the last") << "four.pcap" << "@1800000000" << "" << "No frame of the file was captured at or after";
        QTest::newRow("not a time") << "four.pcap" << "12:30" << "" << "is neither a frame number nor a time";
        QTest::newRow("a dataset") << "numbered.nivora" << "@1700000020" << "" << "keeps no capture times";
        QTest::newRow("a number past the last frame, when captured") << "four.pcap" << "1700000020" << "21 - 30020 of 100,000" << "";
        QTest::newRow("a number past the last frame, before the capture")
            << "four.pcap" << "1600000000" << "" << "There is no frame 1600000000: the file holds 100,000 frames. For a time, type @";
        QTest::newRow("a number past the last frame of a dataset") << "numbered.nivora" << "30002" << ""
                                                                  << "There is no frame 30002: the file holds 30,001 frames.";
    }
    void windowByTime()
    {
        QFETCH(QString, file);
        QFETCH(QString, typed);
        QFETCH(QString, window);
        QFETCH(QString, told);
        if (file.endsWith(".nivora") && !QFile::exists(dir.filePath(file)))
            QVERIFY(recorded::writeFile(dir.filePath(file), recorded::dataset(recorded::numbered(1, 30001))));
        open(dir.filePath(file));
        frmLoadDataset()->txtWindowFirst->clear();
        QTest::keyClicks(frmLoadDataset()->txtWindowFirst, typed);
        QTest::keyClick(frmLoadDataset()->txtWindowFirst, Qt::Key_Return);
        if (window.isEmpty()) QCOMPARE(getPacketCount(), 0);
        else QCOMPARE(held(), window);
        QCOMPARE(dialogs->shown.value(0).text.contains(told) && dialogs->shown.size() == (told.isEmpty() ? 0 : 1), true);
    }

    // The new items take letters and keys no other item of the File menu has.
    void menuItemsClashWithNothing()
    {
        QMenu* file = frmMain()->findChild<QMenu*>("File");
        QStringList letters, keys;
        for (QAction* item : file->actions()) {
            const QString text = item->text();
            if (const qsizetype amp = text.indexOf('&'); amp >= 0) letters << text.mid(amp + 1, 1).toLower();
            if (!item->shortcut().isEmpty()) keys << item->shortcut().toString();
        }
        QCOMPARE(letters.removeDuplicates(), 0);
        QCOMPARE(keys.removeDuplicates(), 0);
        QVERIFY(keys.contains("F3") && keys.contains("Shift+F3"));
        QCOMPARE(frmMain()->menuItem("NextMatch")->text(), QString("Next &Match"));
        QCOMPARE(frmMain()->menuItem("PreviousMatch")->text(), QString("P&revious Match"));
    }
};

QTEST_MAIN(TestFindInFile)
#include "test_findInFile.moc"
