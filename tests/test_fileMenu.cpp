// The File menu's load and save items as the user meets them: the dialogs,
// the "Load Dataset" window, the messages and the packets handed to the views.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <utility>

#include "acquire/frmLoadDataset.h"
#include "app/frmMain.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "support/ScriptedDialogs.h"
#include "support/frames.h"
#include "support/recordedFiles.h"
#include "vis/VisWindow.h"
#include "vis/visWindows.h"

using recorded::Frame;

namespace {
struct RecordingView : VisWindow {
    QList<int> thumbnails;
    int clears = 0;
    void Plot(const PacketToDraw&) override {}
    void plotThumbnail(const PacketToDraw& p) override { thumbnails << p.number; }
    void clear() override { ++clears; }
    bool isShown() const override { return false; }
};

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

QList<int> range(int first, int last)
{
    QList<int> r;
    for (int n = first; n <= last; ++n) r << n;
    return r;
}
}

class TestFileMenu : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    WatchingDialogs* dialogs = nullptr;
    std::array<RecordingView, kVisWindowCount> views;

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        recorded::writeFile(path, bytes);
        return path;
    }

    void choose(const char* item, const QString& path)
    {
        dialogs->fileNames.enqueue(path);
        frmMain()->menuItem(item)->trigger();
    }

private slots:
    void initTestCase()
    {
        frmMain();
        for (int k = 1; k <= kVisWindowCount; ++k) overrideVisWindow(k, &views[size_t(k - 1)]);
    }
    void init()
    {
        dialogs = new WatchingDialogs;
        resetBuffer("startup");
        for (auto& v : views) v = RecordingView{};
    }
    void cleanup() { delete dialogs; }

    void menuItemsAndWindow()
    {
        QAction* load = frmMain()->menuItem("LoadData");
        const QList<QAction*> items = load->associatedObjects().isEmpty() ? QList<QAction*>()
                                      : qobject_cast<QMenu*>(load->associatedObjects().first())->actions();
        const qsizetype at = items.indexOf(load);
        QVERIFY(at >= 0);
        QCOMPARE(items.value(at + 1)->objectName(), QString("LoadCapture"));
        QCOMPARE(items.value(at + 1)->text(), QString("Open &Capture File..."));
        QAction* save = frmMain()->menuItem("SaveData");
        QVERIFY(save->isVisible() && save->isEnabled());
        QCOMPARE(save->text(), QString("Save Da&taset"));

        FrmLoadDataset* w = frmLoadDataset();
        QCOMPARE(w->windowTitle(), QString("Load Dataset"));
        QCOMPARE(w->lblFile->text(), QString("File:"));
        QCOMPARE(w->Label1->text(), QString("File Size:"));
        QCOMPARE(w->lblFileLoad->text(), QString("File Load Status:"));
        QCOMPARE(w->lblProcessingPackets->text(), QString("Packet Processing Progress"));
        QVERIFY(w->findChild<QProgressBar*>("pbProcessing"));
    }

    void cancelledDialogDoesNothing()
    {
        frmMain()->menuItem("LoadData")->trigger();
        QCOMPARE(dialogs->fileDialogTitles, QStringList{"Open nivora dataset"});
        QCOMPARE(dialogs->fileDialogFolders, QStringList{QCoreApplication::applicationDirPath()});
        QVERIFY(dialogs->shown.isEmpty());
        QVERIFY(!frmLoadDataset()->isVisible());
    }

    void loadShowsProgressThenDraws()
    {
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
        QCOMPARE(views[0].thumbnails, range(1, 3));
    }

    void wrongHeaderWarnsAndKeepsThePackets()
    {
        addPacket(someFrames(1)[0].data(), 59);
        choose("LoadData", file("lower.nivora", "<nivora>abc<NIVORA[CR][LF]>"));
        QCOMPARE(dialogs->shown.size(), 1);
        QCOMPARE(dialogs->shown[0].text, QString("This is not a nivora format file"));
        QCOMPARE(dialogs->shown[0].title, QString("Warning"));
        QCOMPARE(dialogs->shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(dialogs->windowShown, QList<bool>{true});
        QVERIFY(!frmLoadDataset()->isVisible());
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(views[0].thumbnails.isEmpty());
    }

    void capacityMessageOnce()
    {
        choose("LoadData", file("full.nivora", recorded::dataset(someFrames(30001))));
        QCOMPARE(dialogs->shown.size(), 1);
        QCOMPARE(dialogs->shown[0].text, QString("Packets in file exceeded buffer.  Only the first 30000 packets will be used."));
        QCOMPARE(dialogs->shown[0].title, QString("nivora"));
        QCOMPARE(dialogs->shown[0].buttons, MsgButtons::Ok);
        QCOMPARE(dialogs->shown[0].icon, MsgIcon::None);
        QCOMPARE(getPacketCount(), 30000);
        QCOMPARE(views[0].thumbnails.size(), 30000);
    }

    void noSecondLoadOrSaveWhileLoading()
    {
        // The user picks the menu items while the first load is still running.
        dialogs->duringMessage = [] {
            frmMain()->menuItem("LoadData")->trigger();
            frmMain()->menuItem("LoadCapture")->trigger();
            frmMain()->menuItem("SaveData")->trigger();
        };
        choose("LoadData", file("wait.nivora", recorded::dataset(someFrames(30000))));
        QCOMPARE(dialogs->shown.size(), 4);
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(dialogs->shown[k].text, QString("A file is still loading. Please wait until it has finished."));
        QVERIFY(dialogs->fileDialogTitles.size() == 1);   // no second file dialog
        QCOMPARE(getPacketCount(), 30000);

        frmMain()->menuItem("LoadData")->trigger();          // afterwards it works again
        QCOMPARE(dialogs->fileDialogTitles.size(), 2);
    }

    void declinedResetDrawsOnlyTheNewPackets()
    {
        choose("LoadData", file("five.nivora", recorded::dataset(someFrames(5))));
        views[0] = RecordingView{};
        dialogs->answers.enqueue(MsgResult::No);
        choose("LoadData", file("three.nivora", recorded::dataset(someFrames(3))));
        QCOMPARE(dialogs->shown.size(), 1);
        QCOMPARE(dialogs->shown[0].text, QString("Packets exist in the buffer.  Do you wish to overwrite?"));
        QCOMPARE(getPacketCount(), 8);
        QCOMPARE(views[0].thumbnails, range(6, 8));
        QCOMPARE(views[0].clears, 1);   // the views are cleared before the load either way
    }

    void unreadableFileIsNamed()
    {
        addPacket(someFrames(1)[0].data(), 59);
        const QString path = dir.filePath("gone.nivora");
        choose("LoadData", path);
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(dialogs->shown[0].text.contains(path));
        QVERIFY(dialogs->shown[0].text.contains("No such file or directory"));
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(!frmLoadDataset()->isVisible());
    }

    void captureFiles()
    {
        QVERIFY(recorded::writePcap(dir.filePath("four.pcap"), someFrames(4)));
        choose("LoadCapture", dir.filePath("four.pcap"));
        QVERIFY(dialogs->shown.isEmpty());
        QCOMPARE(getPacketCount(), 4);
        QCOMPARE(views[0].thumbnails, range(1, 4));

        QVERIFY(recorded::writePcap(dir.filePath("sll.pcap"), someFrames(2), DLT_LINUX_SLL));
        choose("LoadCapture", dir.filePath("sll.pcap"));
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(dialogs->shown[0].text.contains("LINUX_SLL"));
        QCOMPARE(getPacketCount(), 4);
    }

    void saveTellsWhatWasLeftOut()
    {
        frmMain()->menuItem("SaveData")->trigger();
        QCOMPARE(dialogs->shown.value(0).text, QString("There are no packets to save."));
        dialogs->shown.clear();

        for (const Frame& f : someFrames(3)) addPacket(f.data(), int(f.size()) - 1);
        Frame split = frames::ipv4(80, 6);
        const QByteArray t = recorded::kTrailer;
        std::copy(t.begin(), t.end(), split.begin() + 40);
        addPacket(split.data(), 79);
        addPacket(frames::ipv4(1600, 6).data(), 1599);

        choose("SaveData", dir.filePath("saved.nivora"));
        QCOMPARE(dialogs->fileDialogTitles.last(), QString("Save Dataset"));
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY2(dialogs->shown[0].text.contains("Saved 3 packet(s)")
                     && dialogs->shown[0].text.contains("2 frame(s) were left out"),
                 qPrintable(dialogs->shown[0].text));
        QCOMPARE(QFile(dir.filePath("saved.nivora")).size(), recorded::dataset(someFrames(3)).size());

        dialogs->shown.clear();
        choose("SaveData", dir.filePath("saved.pcap"));        // a capture carries every frame
        choose("SaveData", dir.filePath("plain"));             // no extension: a dataset
        QVERIFY(QFile::exists(dir.filePath("saved.pcap")));
        QVERIFY(QFile::exists(dir.filePath("plain.nivora")));
        QCOMPARE(dialogs->shown.size(), 1);                    // only the dataset left frames out

        dialogs->shown.clear();
        choose("SaveData", dir.filePath("missing/folder/x.nivora"));
        QCOMPARE(dialogs->shown.size(), 1);
        QVERIFY(dialogs->shown[0].text.contains("Nothing was saved"));
    }
};

QTEST_MAIN(TestFileMenu)
#include "test_fileMenu.moc"
