// The File menu's load and save items as the user meets them: the dialogs,
// the "Load Dataset" window, the messages and the packets handed to the views.
#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "acquire/frmCapture.h"
#include "acquire/frmLoadDataset.h"
#include "acquire/modFileWindow.h"
#include "acquire/modSaveData.h"
#include "acquire/overviewStrip.h"
#include "app/frmMain.h"
#include "platform/CaptureControl.h"
#include "playback/frmFilters.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/recordedFiles.h"

namespace {
// Dataset records are framed by text: any frames will do.
std::vector<recorded::Frame> someFrames(int count) { return {size_t(count), frames::ipv4(60, 6, 1000, 80)}; }

void trigger(const char* item) { frmMain()->menuItem(item)->trigger(); }
}

class TestFileMenu : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ScriptedDialogs* dialogs = nullptr;   // the user may act while a message is up (the load still running)
    RecordingViews views;

    // The packets drawn (their thumbnails), as "first..last (count)".
    QString drawn()
    {
        QList<int32_t> n;
        for (const RecordingView::Entry& e : views[1].calls)
            if (e.call == RecordingView::Call::Thumbnail) n << e.packet;
        return n.isEmpty() ? "none" : QString("%1..%2 (%3)").arg(n.first()).arg(n.last()).arg(n.size());
    }
    QString file(const QString& name, const QByteArray& bytes)
    {
        recorded::writeFile(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
    void choose(const char* item, const QString& path)
    {
        dialogs->fileNames.enqueue(path);
        trigger(item);
    }

private slots:
    void initTestCase() { frmMain(); }
    void init()
    {
        dialogs = new ScriptedDialogs;
        resetBuffer("startup");
        views.forget();
    }
    void cleanup() { delete dialogs; }

    // The dataset dialog shows every file (a capture file chosen there loads as
    // one) and opens in the folder last used.
    void datasetDialogShowsEveryFileAndRemembersItsFolder()
    {
        const QString pcap = dir.filePath("four.pcap");
        QVERIFY(recorded::writePcap(pcap, someFrames(4)));
        choose("LoadData", pcap);
        trigger("LoadData");   // cancelled: nothing happens
        QCOMPARE(dialogs->fileDialogFolders, (QStringList{qApp->applicationDirPath(), dir.path()}));
        QVERIFY(dialogs->fileDialogFilters[0].startsWith("All files (*);;"));
        QCOMPARE(drawn(), QString("1..4 (4)"));
    }

    // The load window follows the file to the end of its last record. After a
    // declined reset only the new packets are drawn, behind the held ones, and
    // the playback window's buffer range covers them all.
    void loadShowsProgressDrawsAndAppendsAfterADeclinedReset()
    {
        const QByteArray bytes = recorded::dataset(someFrames(3)) + "unterminated";
        choose("LoadData", file("three.nivora", bytes));
        QCOMPARE(frmLoadDataset()->pbProcessing->value(), bytes.size() - 12);
        QCOMPARE(drawn(), QString("1..3 (3)"));
        QVERIFY(dialogs->shown.value(0).text.contains("The last 12 byte(s) of \"" + dir.filePath("three.nivora")
                                                      + "\" are not closed by a record trailer: the last record may be cut short"));

        views.forget();
        dialogs->answers.enqueue(MsgResult::No);
        choose("LoadData", file("five.nivora", recorded::dataset(someFrames(5))));
        QCOMPARE(drawn(), QString("4..8 (5)"));
        QCOMPARE(views[1].count(RecordingView::Call::Clear), 1);   // cleared before the load either way
        QCOMPARE(frmFilters()->lblBufferRange->text(), QString("1 - 8"));
    }

    // Neither a file of another kind nor a missing one replaces the held
    // packets (pipes: TestRecordedFiles, TestFrameIndex); one message says
    // why, with no overwrite question. A .pcap holding text is refused as
    // neither kind, by what it begins with.
    void failedLoadWarnsAndKeepsThePackets_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");   // empty: no such file
        QTest::addColumn<QString>("told");       // how the message ends
        QTest::newRow("not a dataset") << "lower.nivora" << QByteArray("<nivora>abc<NIVORA[CR][LF]>")
                                       << "This is not a nivora format file";
        QTest::newRow("text named .pcap") << "notes.pcap" << QByteArray("GET / HTTP/1.1\r\n")
                                          << "notes.pcap\" is neither a nivora dataset nor a pcap or pcapng capture: "
                                             "it begins with the text \"GET / HTTP/1.1\\r\\n\"";
        QTest::newRow("missing") << "gone.nivora" << QByteArray() << "gone.nivora\": No such file or directory";
    }
    void failedLoadWarnsAndKeepsThePackets()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        recorded::store(someFrames(1)[0]);
        choose("LoadData", bytes.isEmpty() ? dir.filePath(name) : file(name, bytes));
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY2(dialogs->shown[0].text.endsWith(told), qPrintable(dialogs->shown[0].text));
        QVERIFY(!frmLoadDataset()->isVisible());
        QCOMPARE(std::pair(getPacketCount(), drawn()), std::pair(int64_t(1), QString("none")));
    }

    // The overwrite question says what Yes and No do; Cancel (Escape) loads
    // nothing: no packet added, no view cleared, nothing drawn.
    void overwriteCancelledLoadsNothing()
    {
        for (const recorded::Frame& f : someFrames(4)) recorded::store(f);
        views.forget();
        dialogs->answers.enqueue(MsgResult::Cancel);
        choose("LoadData", file("five.nivora", recorded::dataset(someFrames(5))));
        QCOMPARE(dialogs->shown.size(), 1);
        QCOMPARE(dialogs->shown[0].buttons, MsgButtons::YesNoCancel);
        QVERIFY(dialogs->shown[0].text.startsWith("Packets exist in the buffer.  Do you wish to overwrite?\n\nYes empties"));
        QCOMPARE(getPacketCount(), 4);
        QCOMPARE(views[1].count(RecordingView::Call::Clear), 0);
        QCOMPARE(drawn(), QString("none"));
        QVERIFY(!frmLoadDataset()->isVisible());
    }

    // A file of more frames than the store holds offers its windows, the
    // first 30000 frames chosen; a window loads into the player only when
    // asked. Loading it asks before replacing the held packets, and the menu
    // items picked and a capture started while the question is up (the load
    // running) are refused: a capture's reset would empty the store under the
    // load and mix captured frames into the file's. The "Load Dataset"
    // window's status is always the one that holds: a window loaded behind the
    // held packets is not the window alone, and a failed load shows nothing of
    // the previous file.
    void loadWindowTellsTheTruth()
    {
        recorded::store(someFrames(1)[0]);
        const QByteArray full = recorded::dataset(someFrames(30001));
        choose("LoadData", file("full.nivora", full));
        QVERIFY(dialogs->shown.isEmpty() && frmLoadDataset()->fraWindow->isVisible());
        QCOMPARE(frmLoadDataset()->lblFileLoadStatusVariable->text(), QString("30,001 frames: choose the 30000 to load"));
        QCOMPARE(frmLoadDataset()->lblWindowRange->text(), "1 - 30000 of 30,001");
        QCOMPARE(std::pair(getPacketCount(), drawn()), std::pair(int64_t(1), QString("none")));

        QString status;   // while the question is up
        dialogs->duringMessage = [&] {
            status = frmLoadDataset()->lblFileLoadStatusVariable->text() + " / " + frmLoadDataset()->lblFileSizeVariable->text();
            trigger("LoadData");
            trigger("LoadCapture");
            trigger("SaveData");
            frmCapture()->btnStart->click();
        };
        QTest::keyClicks(frmLoadDataset()->txtWindowFirst, "2");   // "12": the window ends at the last frame
        QCOMPARE(frmLoadDataset()->lblWindowRange->text(), "2 - 30001 of 30,001");
        frmLoadDataset()->btnLoadWindow->click();
        QCOMPARE(dialogs->shown.size(), 5);
        QCOMPARE(dialogs->shown[0].title, QString("Verify Buffer Delete"));
        QCOMPARE(status, "Waiting for your answer / " + QString::number(full.size()));
        for (int k = 1; k <= 4; ++k) QVERIFY(dialogs->shown[k].text.startsWith("A file is still loading."));
        QVERIFY(!frmCapture()->packet->isCapturing());
        QCOMPARE(drawn(), QString("1..30000 (30000)"));
        QCOMPARE(frmFilters()->lblFileWindow->text(), QString("2 - 30001 of 30,001"));
        QCOMPARE(frmLoadDataset()->lblFileLoadStatusVariable->text(), QString("Completed: 2 - 30001 of 30,001"));
        QVERIFY(!frmLoadDataset()->isVisible());

        choose("LoadData", dir.filePath("full.nivora"));
        dialogs->answers.enqueue(MsgResult::No);   // the window goes behind the held packets
        frmLoadDataset()->btnLoadWindow->click();
        QCOMPARE(frmLoadDataset()->lblFileLoadStatusVariable->text(), QString("Completed"));
        dialogs->duringMessage = [&] {
            status = frmLoadDataset()->lblFileLoadStatusVariable->text() + " / " + frmLoadDataset()->lblFileSizeVariable->text();
        };
        choose("LoadData", dir.filePath("gone.nivora"));
        QCOMPARE(status, QString("Failed / "));
    }

    // A crafted file of 100,000 frames, each carrying its number: Page Down
    // twice moves to the third window without asking, and the player and the
    // views hold frames 60001..90000 as packets 1..30000; at the end Page Down
    // goes nowhere, and Page Up comes back. (A window that fails: TestFrameIndex.)
    void movingTheWindowAlongAFile()
    {
        const std::vector<recorded::Frame> all = recorded::numbered(1, 100000);
        const QString big = dir.filePath("numbered.pcap");
        QVERIFY(recorded::writePcap(big, all));
        const auto frameIn = recorded::numberOf;
        const auto page = [](Qt::Key key) {
            frmMain()->show();
            frmMain()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(frmMain()));
            QTest::keyClick(frmMain(), key);
        };

        choose("LoadCapture", big);
        // Pressed in the middle of the strip, the window centres there; dragged to the left end, it starts at 1.
        OverviewStrip* strip = frmLoadDataset()->picOverview;
        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(strip->width() / 2, 10));
        QVERIFY2(qAbs(frmLoadDataset()->chosenFirst() - 35001) < 1000, qPrintable(frmLoadDataset()->lblWindowRange->text()));
        QMouseEvent drag(QEvent::MouseMove, QPointF(0, 10), strip->mapToGlobal(QPointF(0, 10)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(strip, &drag);
        QCOMPARE(frmLoadDataset()->lblWindowRange->text(), QString("1 - 30000 of 100,000"));
        frmLoadDataset()->btnLoadWindow->click();
        page(Qt::Key_PageDown);
        views.forget();
        page(Qt::Key_PageDown);
        QVERIFY(dialogs->shown.isEmpty());   // the held window is the file's: nothing to lose
        QVERIFY(!heldPacketsUnsaved());      // nor anything to save before quitting
        QVERIFY(frmFilters()->btnStop->isChecked());   // Stopped, as after a load
        QCOMPARE(frmFilters()->lblFileWindow->text(), QString("60001 - 90000 of 100,000"));
        QCOMPARE(std::pair(frameIn(1), frameIn(30000)), std::pair(60001, 90000));
        QCOMPARE(drawn(), QString("1..30000 (30000)"));
        QCOMPARE(views[1].lastBytes, recorded::bytesOf(all[90000 - 1]));   // what the views were given: the frame itself

        page(Qt::Key_PageDown);   // the last window ends at the last frame
        QCOMPARE(std::pair(frameIn(1), frmFilters()->lblFileWindow->text()), std::pair(70001, QString("70001 - 100000 of 100,000")));
        page(Qt::Key_PageDown);
        QCOMPARE(frameIn(1), 70001);
        page(Qt::Key_PageUp);
        QCOMPARE(frameIn(1), 40001);
    }

    // A capture of a 30000-frame burst and a slow tail: the strip runs along
    // the capture time, so its middle lies in the tail and the window pressed
    // there ends at the file's end (along the frame number it would start at 5001).
    void overviewAlongTheCaptureTime()
    {
        std::vector<recorded::Frame> all(40000, frames::ipv4(60, 17));
        std::vector<recorded::FileTime> times;
        for (uint64_t k = 0; k < 30000; ++k) times.push_back({1700000000, k});
        for (uint64_t k = 1; k <= 10000; ++k) times.push_back({1700000000 + k, 0});
        choose("LoadCapture", file("burst.pcap", recorded::pcapFile(all, times, false)));
        OverviewStrip* strip = frmLoadDataset()->picOverview;
        QVERIFY(strip->toolTip().contains("capture time"));
        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(strip->width() / 2, 10));
        QCOMPARE(frmLoadDataset()->lblWindowRange->text(), QString("10001 - 40000 of 40,000"));
        frmLoadDataset()->close();
    }

    // A pcapng of three sections, the second of 802.11 frames: the
    // Ethernet frames before and after it are loaded, the others counted.
    void pcapngOfOtherLinkTypesInBetween()
    {
        const QByteArray mixed = recorded::pcapng(someFrames(3)) + recorded::pcapng(someFrames(2), DLT_IEEE802_11_RADIO)
                                 + recorded::pcapng(someFrames(4));
        choose("LoadCapture", file("mixed.pcapng", mixed));
        QCOMPARE(drawn(), QString("1..7 (7)"));
        QVERIFY(dialogs->shown.value(0).text.contains("2 frame(s) in \"" + dir.filePath("mixed.pcapng")
                                                      + "\" from interfaces whose frames cannot be shown as Ethernet were left out."));
    }

    void saveTellsWhatWasLeftOut()
    {
        trigger("SaveData");
        QCOMPARE(dialogs->shown.value(0).text, QString("There are no packets to save."));

        for (const recorded::Frame& f : someFrames(3)) recorded::store(f);
        recorded::store(recorded::withTrailerAt(40, 80));   // a dataset cannot carry this one
        choose("SaveData", dir.filePath("saved"));   // no extension: a dataset
        const QString told = dialogs->shown.value(1).text;
        QVERIFY2(told.contains("3 packet(s)") && told.contains("1 frame(s) were left out"), qPrintable(told));
        QCOMPARE(recorded::readFile(dir.filePath("saved.nivora")), recorded::dataset(someFrames(3)));
        // (Every loss describeLeftOut names, times past 2106 too: TestRecordedFiles.)

        choose("SaveData", dir.filePath("missing/folder/x.nivora"));
        QVERIFY(dialogs->shown.value(2).text.contains("Nothing was saved"));
        // The save dialog opens where the last save went (the open dialog keeps its own folder).
        QCOMPARE(dialogs->fileDialogFolders, (QStringList{qApp->applicationDirPath(), dir.path()}));
    }
};

QTEST_MAIN(TestFileMenu)
#include "test_fileMenu.moc"
