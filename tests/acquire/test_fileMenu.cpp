// The File menu's load and save items as the user meets them: the dialogs,
// the "Load Dataset" window, the messages and the packets handed to the views.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/stat.h>

#include "acquire/frmCapture.h"
#include "acquire/frmLoadDataset.h"
#include "app/frmMain.h"
#include "platform/CaptureControl.h"
#include "playback/frmFilters.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/recordedFiles.h"
#include "support/watchdog.h"

namespace {
// Lets the user act while a message is up (the load still running).
struct WatchingDialogs : ScriptedDialogs {
    std::function<void()> duringMessage;
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons b, MsgIcon i) override
    {
        const MsgResult answer = ScriptedDialogs::messageBox(text, title, b, i);
        if (auto act = std::exchange(duringMessage, nullptr)) act();
        return answer;
    }
};

// Dataset records are framed by text: any frames will do.
std::vector<recorded::Frame> someFrames(int count) { return {size_t(count), frames::ipv4(60, 6, 1000, 80)}; }

void trigger(const char* item) { frmMain()->menuItem(item)->trigger(); }
}

class TestFileMenu : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    WatchingDialogs* dialogs = nullptr;
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
        dialogs = new WatchingDialogs;
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

        views.forget();
        choose("LoadCapture", pcap);   // the capture item loads it too (the held packets replaced)
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

    // Neither a file of another kind nor a missing one replaces the held packets.
    void failedLoadWarnsAndKeepsThePackets()
    {
        recorded::store(someFrames(1)[0]);
        choose("LoadData", file("lower.nivora", "<nivora>abc<NIVORA[CR][LF]>"));
        choose("LoadData", dir.filePath("gone.nivora"));
        QCOMPARE(dialogs->shown.size(), 2);   // no overwrite question
        QCOMPARE(dialogs->shown[0].text, QString("This is not a nivora format file"));
        QVERIFY(dialogs->shown[1].text.endsWith("gone.nivora\": No such file or directory"));
        QVERIFY(!frmLoadDataset()->isVisible());
        QCOMPARE(getPacketCount(), 1);
        QCOMPARE(drawn(), QString("none"));

        // A named pipe is refused at once by both items, never opened.
        const std::string pipe = dir.filePath("pipe.pcap").toStdString();
        QCOMPARE(::mkfifo(pipe.c_str(), 0600), 0);
        const Watchdog watchdog("loading a named pipe", std::chrono::seconds(20));
        for (const char* item : {"LoadData", "LoadCapture"}) {
            choose(item, dir.filePath("pipe.pcap"));
            QVERIFY2(dialogs->shown.last().text.endsWith("pipe.pcap\": not a regular file"), qPrintable(dialogs->shown.last().text));
        }
        QCOMPARE(getPacketCount(), 1);
    }

    // The "Load Dataset" window's status is always the one that holds: waiting
    // for the overwrite answer, cut at the store's capacity, failed; and
    // nothing of the previous file stays on show.
    void loadWindowTellsTheTruth()
    {
        QStringList seen;   // the status and file size while each message is up
        std::function<void()> record = [&] {
            seen << frmLoadDataset()->lblFileLoadStatusVariable->text() + " / "
                        + frmLoadDataset()->lblFileSizeVariable->text();
            dialogs->duringMessage = record;
        };
        dialogs->duringMessage = record;
        recorded::store(someFrames(1)[0]);
        const QString size = QString::number(recorded::dataset(someFrames(30001)).size());
        choose("LoadData", file("full.nivora", recorded::dataset(someFrames(30001))));
        choose("LoadData", dir.filePath("gone.nivora"));
        QCOMPARE(seen, (QStringList{"Waiting for your answer / " + size, "Cut at 30000 packets / " + size, "Failed / "}));
        dialogs->duringMessage = nullptr;
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

    // The user picks the menu items and starts a capture while the capacity
    // message is up, the load still running: a capture's reset would empty
    // the store under the load and mix captured frames into the file's.
    void capacityMessageOnceAndNoSecondLoadSaveOrCaptureWhileLoading()
    {
        dialogs->duringMessage = [] {
            trigger("LoadData");
            trigger("LoadCapture");
            trigger("SaveData");
            frmCapture()->btnStart->click();
        };
        choose("LoadData", file("full.nivora", recorded::dataset(someFrames(30001))));
        QCOMPARE(dialogs->shown.size(), 5);
        QVERIFY(dialogs->shown[0].text.contains("Only the first 30000 packets will be used."));
        for (int k = 1; k <= 4; ++k) QVERIFY(dialogs->shown[k].text.startsWith("A file is still loading."));
        QVERIFY(!frmCapture()->packet->isCapturing());
        QCOMPARE(drawn(), QString("1..30000 (30000)"));
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

        // A capture keeps every frame, but no time past 2106: that is told too.
        const recorded::Frame late = frames::ipv4(60, 6);
        addPacket(late.data(), 59, captureTimeOf(5000000000, 0, 1));
        choose("SaveData", dir.filePath("late.pcap"));
        QVERIFY2(dialogs->shown.value(2).text.contains("1 capture time(s) before 1970 or past 2106"),
                 qPrintable(dialogs->shown.value(2).text));

        choose("SaveData", dir.filePath("missing/folder/x.nivora"));
        QVERIFY(dialogs->shown.value(3).text.contains("Nothing was saved"));
        // The save dialog opens where the last save went (the open dialog keeps its own folder).
        QCOMPARE(dialogs->fileDialogFolders, (QStringList{qApp->applicationDirPath(), dir.path(), dir.path()}));
    }
};

QTEST_MAIN(TestFileMenu)
#include "test_fileMenu.moc"
