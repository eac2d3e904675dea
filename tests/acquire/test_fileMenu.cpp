// The File menu's load and save items as the user meets them: the dialogs,
// the "Load Dataset" window, the messages and the packets handed to the views.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <utility>

#include "acquire/frmLoadDataset.h"
#include "app/frmMain.h"
#include "playback/frmFilters.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
// Notes whether the load window was on screen when each message appeared.
struct WatchingDialogs : ScriptedDialogs {
    QList<bool> windowShown;
    std::function<void()> duringMessage;   // what the user does while a message is up
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons b, MsgIcon i) override
    {
        windowShown << frmLoadDataset()->isVisible();
        const MsgResult answer = ScriptedDialogs::messageBox(text, title, b, i);
        if (auto act = std::exchange(duringMessage, nullptr)) act();
        return answer;
    }
};

std::vector<Frame> someFrames(int count)
{
    std::vector<Frame> all;
    for (int n = 0; n < count; ++n) all.push_back(frames::ipv4(60 + n % 5, 6, uint16_t(1000 + n), 80));
    return all;
}

QList<int32_t> range(int first, int last)
{
    QList<int32_t> r;
    for (int n = first; n <= last; ++n) r << n;
    return r;
}

void trigger(const char* item) { frmMain()->menuItem(item)->trigger(); }
}

class TestFileMenu : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    WatchingDialogs* dialogs = nullptr;
    RecordingViews views;

    QList<int32_t> thumbnails()
    {
        QList<int32_t> numbers;
        for (const RecordingView::Entry& e : views[1].calls)
            if (e.call == RecordingView::Call::Thumbnail) numbers << e.packet;
        return numbers;
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

    void loadShowsProgressDrawsAndAppendsAfterADeclinedReset()
    {
        trigger("LoadData");   // cancelled: nothing happens
        QCOMPARE(dialogs->fileDialogTitles, QStringList{"Open nivora dataset"});
        QCOMPARE(dialogs->fileDialogFolders, QStringList{QCoreApplication::applicationDirPath()});
        QVERIFY(dialogs->shown.isEmpty());

        const QByteArray bytes = recorded::dataset(someFrames(3)) + "unterminated";
        const QString path = file("three.nivora", bytes);
        choose("LoadData", path);
        FrmLoadDataset* w = frmLoadDataset();
        QVERIFY(!w->isVisible());
        QCOMPARE(w->lblFileVariable->text(), QDir::toNativeSeparators(path));
        QCOMPARE(w->lblFileSizeVariable->text(), QString::number(bytes.size()));
        QCOMPARE(w->lblFileLoadStatusVariable->text(), QString("Completed"));
        QCOMPARE(w->pbProcessing->maximum(), bytes.size());
        QCOMPARE(w->pbProcessing->value(), bytes.size() - 12);   // the end of the last record
        QVERIFY(dialogs->shown.isEmpty());
        QCOMPARE(thumbnails(), range(1, 3));

        // The reset declined, only the new packets are drawn, behind the held ones,
        // and the playback window's buffer range covers them all.
        views.forget();
        dialogs->answers.enqueue(MsgResult::No);
        choose("LoadData", file("five.nivora", recorded::dataset(someFrames(5))));
        QCOMPARE(dialogs->shown.size(), 1);
        const ShownMessage asked = dialogs->shown[0];
        QCOMPARE(asked.text, QString("Packets exist in the buffer.  Do you wish to overwrite?"));
        QCOMPARE(std::tuple(asked.title, asked.buttons, asked.icon),
                 std::tuple(QString("Verify Buffer Delete"), MsgButtons::YesNo, MsgIcon::Exclamation));
        QCOMPARE(getPacketCount(), 8);
        QCOMPARE(thumbnails(), range(4, 8));
        QCOMPARE(views[1].count(RecordingView::Call::Clear), 1);   // the views are cleared before the load either way
        QCOMPARE(frmFilters()->lblBufferRange->text() + ", " + frmFilters()->lblRangeMax->text(), QString("1 - 8, 8"));
    }

    void failedLoadWarnsAndKeepsThePackets_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");   // null: no such file
        QTest::addColumn<QStringList>("says");
        QTest::newRow("wrong header") << "lower.nivora" << QByteArray("<nivora>abc<NIVORA[CR][LF]>")
                                      << QStringList{"This is not a nivora format file"};
        QTest::newRow("missing file") << "gone.nivora" << QByteArray()
                                      << QStringList{dir.filePath("gone.nivora"), "No such file or directory"};
    }
    void failedLoadWarnsAndKeepsThePackets()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, says);
        recorded::store(someFrames(1)[0]);
        choose("LoadData", bytes.isNull() ? dir.filePath(name) : file(name, bytes));
        QCOMPARE(dialogs->shown.size(), 1);
        for (const QString& part : says) QVERIFY2(dialogs->shown[0].text.contains(part), qPrintable(dialogs->shown[0].text));
        QCOMPARE(dialogs->shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(dialogs->windowShown, QList<bool>{true});   // told while the load window is up
        QVERIFY(!frmLoadDataset()->isVisible());
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(thumbnails().isEmpty());
    }

    void capacityMessageOnceAndNoSecondLoadOrSaveWhileLoading()
    {
        // The user picks the menu items while the capacity message is up, the load still running.
        dialogs->duringMessage = [] {
            trigger("LoadData");
            trigger("LoadCapture");
            trigger("SaveData");
        };
        choose("LoadData", file("full.nivora", recorded::dataset(someFrames(30001))));
        QCOMPARE(dialogs->shown.size(), 4);
        QCOMPARE(dialogs->shown[0].text, QString("Packets in file exceeded buffer.  Only the first 30000 packets will be used."));
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(dialogs->shown[k].text, QString("A file is still loading. Please wait until it has finished."));
        QCOMPARE(dialogs->fileDialogTitles.size(), 1);   // no second file dialog
        QCOMPARE(getPacketCount(), 30000);
        QCOMPARE(thumbnails().size(), 30000);

        trigger("LoadData");   // afterwards it works again
        QCOMPARE(dialogs->fileDialogTitles.size(), 2);
    }

    void captureFileIsLoadedAndDrawn()
    {
        QVERIFY(recorded::writePcap(dir.filePath("four.pcap"), someFrames(4)));
        choose("LoadCapture", dir.filePath("four.pcap"));
        QVERIFY(dialogs->shown.isEmpty());
        QCOMPARE(thumbnails(), range(1, 4));
    }

    void saveTellsWhatWasLeftOut()
    {
        trigger("SaveData");
        QCOMPARE(dialogs->shown.value(0).text, QString("There are no packets to save."));
        dialogs->shown.clear();

        for (const Frame& f : someFrames(3)) recorded::store(f);
        recorded::store(recorded::withTrailerAt(40, 80));   // a dataset cannot carry these two
        recorded::store(frames::ipv4(1600, 6));
        choose("SaveData", dir.filePath("saved.nivora"));
        QCOMPARE(dialogs->shown.size(), 1);
        const QString told = dialogs->shown[0].text;
        QVERIFY2(told.contains("Saved 3 packet(s)") && told.contains("2 frame(s) were left out"), qPrintable(told));
        QCOMPARE(recorded::readFile(dir.filePath("saved.nivora")), recorded::dataset(someFrames(3)));

        dialogs->shown.clear();
        choose("SaveData", dir.filePath("saved.pcap"));   // a capture carries every frame: no message
        choose("SaveData", dir.filePath("plain"));        // no extension: a dataset
        QVERIFY(QFile::exists(dir.filePath("saved.pcap")));
        QVERIFY(QFile::exists(dir.filePath("plain.nivora")));
        QCOMPARE(dialogs->shown.size(), 1);
        choose("SaveData", dir.filePath("missing/folder/x.nivora"));
        QVERIFY(dialogs->shown.value(1).text.contains("Nothing was saved"));
    }
};

QTEST_MAIN(TestFileMenu)
#include "test_fileMenu.moc"
