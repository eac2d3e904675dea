// The main window and what it opens: thumbnails, menu items and keys toggle
// the windows; and the program as a whole: Exit ends it at once, even in the
// middle of a load or a capture, and nothing is kept between runs.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <cstdio>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "acquire/modSaveData.h"
#include "core/packetComments.h"
#include "app/commandLine.h"
#include "app/frmMain.h"
#include "playback/frmEncodings.h"
#include "platform/SpinButton.h"
#include "playback/frmFilters.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"
#include "support/recordedFiles.h"
#include "support/webpFrames.h"
#include "vis/VisForm.h"
#include "playback/modVisualize.h"
#include "vis/frmVis3.h"
#include "vis/frmVis5.h"
#include "vis/packetComment.h"
#include "vis/packetSelection.h"
#include "vis/screenshotFiles.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"

namespace {
void chooseExit()
{
    std::puts("exit chosen");
    frmMain()->menuItem("exit")->trigger();
}

// Chooses Exit at the first message: in a load of 30001 frames, the one saying
// the file exceeds the buffer, which comes up before the load has finished.
struct ExitingDialogs : ScriptedDialogs {
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons b, MsgIcon i) override
    {
        if (b == MsgButtons::SaveDiscardCancel) return MsgResult::Discard;   // the captured packets
        chooseExit();
        return ScriptedDialogs::messageBox(text, title, b, i);
    }
};

// This program run as a child by runChild: "load" and "capture" choose Exit in
// the middle of their work; "change" changes a colour and a toggle in the
// "filters" window and "report" changes nothing, both print what they see.
int runAsChild(const QString& work)
{
    frmMain()->show();
    ExitingDialogs dialogs;
    QTemporaryDir dir;
    capture_support::LoopbackUdp udp;
    if (work == "load") {
        const std::vector<recorded::Frame> full(30001, frames::ipv4(60, 6));
        recorded::writeFile(dir.filePath("full.nivora"), recorded::dataset(full));
        loadDataset(dir.filePath("full.nivora"));
    } else if (work == "capture") {
        frmCapture()->cmbInterface->setCurrentIndex(frmCapture()->cmbInterface->findText("lo"));
        frmCapture()->StartCapture();
        udp.send(100, 1);
        capture_support::waitFor([] { return getPacketCount() > 0; });
        chooseExit();
    } else if (work == "change") {
        dialogs.colors.enqueue(rgb(1, 2, 3));
        QTest::mouseClick(frmEncodings()->swatch("picTCP"), Qt::LeftButton);
        QTest::mouseClick(frmEncodings()->tglTCP, Qt::LeftButton);
    }
    std::printf("TCP %s colour %06x\n", frmEncodings()->tglTCP->isChecked() ? "down" : "up",
                unsigned(protocolSettings().color(ProtocolClass::Tcp)));
    chooseExit();
    return 3;   // not reached: Exit ends the program
}

// Runs runAsChild(work) in a child process: its exit code (-1 after a crash
// or a hang) and what it printed, on one line.
QString runChild(const QString& work)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--child", work});
    const bool ended = child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit;
    const int code = ended ? child.exitCode() : -1;
    return QString("%1 %2").arg(code).arg(QString::fromLocal8Bit(child.readAllStandardOutput()).simplified());
}
}

class TestMainWindow : public QObject {
    Q_OBJECT
    int endings = 0;

    static void activate(QWidget* w)
    {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

private slots:
    // Start-up shows only the main window, no item checked.
    void initTestCase()
    {
        setProgramEnding([this] { ++endings; });
        activate(frmMain());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != frmMain()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        for (QAction* a : frmMain()->findChildren<QAction*>()) QVERIFY(!a->isChecked());
    }

    // Every thumbnail opens and hides its own view, by the mouse and by Space,
    // Enter or Return.
    void thumbnailTogglesItsView()
    {
        for (const ViewRow& row : viewRows()) {
            if (!row.thumbIndex) continue;
            PictureSurface* thumb = frmMain()->picVis(row.thumbIndex);
            QAction* item = frmMain()->menuItem(row.menuItem);
            QTest::mouseClick(thumb, Qt::LeftButton);
            QVERIFY2(row.window()->isVisible() && item->isChecked(), row.objectName);
            QTest::keyClick(thumb, Qt::Key_Space);
            QVERIFY(!row.window()->isVisible() && !item->isChecked());
            QTest::keyClick(thumb, Qt::Key_Enter);   // opens it again, for Return to hide
            QTest::keyClick(thumb, Qt::Key_Return);
            QVERIFY(!row.window()->isVisible() && !item->isChecked());
        }
    }

    // Tab goes from thumbnail to thumbnail, the focused one framed in the highlight colour.
    void tabReachesEveryThumbnail()
    {
        activate(frmMain());
        frmMain()->picVis(1)->setFocus();
        for (int k = 2; k <= 6; ++k) {
            QTest::keyClick(frmMain()->focusWidget(), Qt::Key_Tab);
            QCOMPARE(frmMain()->focusWidget(), frmMain()->picVis(k));
        }
        const QImage shot = frmMain()->picVis(6)->grab().toImage();
        QCOMPARE(shot.pixelColor(1, 1), frmMain()->palette().color(QPalette::Highlight));
    }

    // Hiding through the menu keeps the window, and one hidden while minimised
    // comes back normal. The close box destroys it and clears its check mark;
    // the next reference is a fresh hidden window.
    void hidingKeepsTheWindowClosingDestroysIt()
    {
        QAction* item = frmMain()->menuItem("vis3");
        item->trigger();
        QPointer<FrmVis3> first = frmVis3();
        first->showMinimized();
        item->trigger();
        item->trigger();
        QCOMPARE(frmVis3(), first.data());
        QVERIFY(first->isVisible() && !first->isMinimized());
        QVERIFY(first->close());
        QVERIFY(!item->isChecked());
        QVERIFY(frmVis3() != first.data() && !frmVis3()->isVisible());
        QTRY_VERIFY(first.isNull());
    }

    // The detail toggle and the menu item each toggle the detail view; the
    // button keeps its own state. Enter and Return press the focused button.
    void detailToggleAndMenuItemBothToggle()
    {
        QPushButton* tgl = frmMain()->tglDetail();
        tgl->setFocus();
        QTest::keyClick(tgl, Qt::Key_Return);
        QVERIFY(frmVis7()->isVisible() && tgl->isChecked());
        frmMain()->menuItem("vis7")->trigger();
        QVERIFY(!frmVis7()->isVisible() && tgl->isChecked());
        QTest::keyClick(tgl, Qt::Key_Enter);
        QVERIFY(frmVis7()->isVisible() && !tgl->isChecked());
        frmMain()->menuItem("vis7")->trigger();
    }

    // The position bar counts in int: past 2147483647 it sits disabled and
    // the player holds still, while the labels go on counting.
    void playerPastTwoToThe31()
    {
        for (int64_t count : {int64_t(INT_MAX), int64_t(INT_MAX) + 1}) {
            store_detail::packetCount = count - 1;
            recorded::store(frames::ipv4(60, 6));
            QCOMPARE(frmFilters()->lblPacketCounter->text(), QString::number(count));
            QCOMPARE(frmFilters()->scrPacket->isEnabled(), count <= INT_MAX);
        }
        resetBuffer("startup");
    }

    // A click on a scatter-plot disc chooses its packet: the detail view
    // opens on it and the player stands on it, the views kept; the disc is
    // outlined. Up and Down on the picture walk the drawn packets; a click on
    // empty space unchooses and takes the outline away.
    void clickingADiscChoosesItsPacket()
    {
        resetBuffer("startup");
        frmFilters()->show();
        FrmVis5* scatter = frmVis5();
        scatter->resize(500, 400);
        if (!scatter->isVisible()) frmMain()->menuItem(viewRow(5).menuItem)->trigger();
        if (frmVis7()->isVisible()) frmMain()->menuItem(viewRow(7).menuItem)->trigger();
        std::vector<std::pair<int32_t, QPoint>> discs;   // packets of growing length: discs higher up
        for (int k = 0; k < 5; ++k) {
            const int32_t n = recorded::store(frames::ipv4(60 + 300 * k, 6));
            displayPackets(n, n);
            discs.push_back({n, scatter->plot().lastPoint()});
        }
        const auto [chosen, at] = discs[2];
        QTest::mouseClick(scatter->picGraph, Qt::LeftButton, {}, at);
        QVERIFY(frmVis7()->isVisible());
        QCOMPARE(frmVis7()->packetsAt(0, 0, 0, 0), std::vector<int32_t>{chosen});
        QVERIFY(frmVis7()->txtHex->toolTip().startsWith(QString("Packet %1  TCP  ").arg(chosen)));
        QCOMPARE(frmFilters()->scrPacket->value(), chosen);
        QCOMPARE(scatter->picGraph->outlines().size(), 1);
        QVERIFY(scatter->picGraph->outlines()[0].contains(at));
        QCOMPARE(scatter->packetsAt(0, discs[4].second.x(), discs[4].second.y(), 0),
                 std::vector<int32_t>{discs[4].first});   // the views were not cleared

        QTest::keyClick(scatter->picGraph, Qt::Key_Down);
        QCOMPARE(packetSelection().chosen(), discs[3].first);
        QCOMPARE(frmFilters()->scrPacket->value(), discs[3].first);
        QTest::keyClick(scatter->picGraph, Qt::Key_Up);
        QTest::keyClick(scatter->picGraph, Qt::Key_Up);
        QCOMPARE(packetSelection().chosen(), discs[1].first);
        QVERIFY(scatter->picGraph->outlines()[0].contains(discs[1].second));

        const QPoint empty(scatter->picGraph->width() - 1, 0);
        QVERIFY(scatter->packetsAt(0, empty.x(), empty.y(), VisForm::kReach).empty());
        QTest::mouseClick(scatter->picGraph, Qt::LeftButton, {}, empty);
        QCOMPARE(packetSelection().chosen(), 0);
        QVERIFY(scatter->picGraph->outlines().isEmpty());
        for (int view : {5, 7}) frmMain()->menuItem(viewRow(view).menuItem)->trigger();   // hidden again
        resetBuffer("startup");
    }

    // Exit chosen in the middle of a load or of a capture ends the program at
    // once, with status 0.
    void exitEndsTheProgramAtOnce()
    {
        QCOMPARE(runChild("load"), QString("0 exit chosen"));
        SKIP_UNLESS_CAPTURE_PERMITTED();
        QCOMPARE(runChild("capture"), QString("0 exit chosen"));
    }

    // A colour and a toggle changed in one run are back at their defaults in
    // the next, and nothing was written under the user's home.
    void nothingPersists()
    {
        QTemporaryDir home;   // the children's home, and from here on this program's
        qputenv("HOME", home.path().toLocal8Bit());
        for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) qunsetenv(xdg);
        QCOMPARE(runChild("change"), QString("0 TCP down colour 030201 exit chosen"));
        QCOMPARE(runChild("report"), QString("0 TCP up colour 00ff00 exit chosen"));
        QVERIFY(QDir(home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    // nivora's words: --help and --version win wherever they stand; one file
    // at most; after "--" a name may begin with a dash.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("read");   // the action's number, then the file or the problem
        QTest::newRow("nothing") << QStringList{} << "0 ";
        QTest::newRow("a file") << QStringList{"a.pcap"} << "0 a.pcap";
        QTest::newRow("help last") << QStringList{"a.pcap", "--help"} << "1 ";
        QTest::newRow("-h") << QStringList{"-h"} << "1 ";
        QTest::newRow("version") << QStringList{"--version"} << "2 ";
        QTest::newRow("two files") << QStringList{"a", "b"} << "3 one file at a time";
        QTest::newRow("unknown") << QStringList{"-x"} << "3 unknown option '-x'";
        QTest::newRow("after --") << QStringList{"--", "-x"} << "0 -x";
        QTest::newRow("--help as a name") << QStringList{"--", "--help"} << "0 --help";
    }
    void commandLine()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, read);
        std::vector<std::string> args;
        for (const QString& w : words) args.push_back(w.toStdString());
        const CommandLine line = parseCommandLine(args);
        QCOMPARE(QString("%1 %2").arg(int(line.action)).arg(QString::fromStdString(line.file + line.problem)), read);
    }

    // A file named on the command line is loaded once the event loop runs, as File ▸ Load would.
    void fileNamedAtStartIsOpened()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString file = dir.filePath("two.nivora");
        QVERIFY(recorded::writeFile(file, recorded::dataset(std::vector(2, frames::ipv4(60, 6)))));
        resetBuffer("startup");
        openWhenShown(file.toStdString());
        QCOMPARE(getPacketCount(), 0);
        QTRY_COMPARE(getPacketCount(), 2);
        openWhenShown(dir.filePath("none").toStdString());
        QTRY_VERIFY(!dialogs.shown.isEmpty());
        QVERIFY(dialogs.shown.last().text.contains("No such file"));
        resetBuffer("startup");
    }

    // Packets captured and not saved: Exit, Ctrl+Q and the close box ask
    // first. Cancel goes on; Save quits only once saved; Discard quits. Packets
    // loaded from a file and unchanged quit without a question. Ctrl+O opens
    // a dataset and Ctrl+Q exits from any of the program's windows.
    void quittingAsksAboutUnsavedPackets()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        activate(frmMain());
        const int before = endings;
        resetBuffer("startup");
        const recorded::Frame frame = frames::ipv4(60, 6);
        frmCapture()->packetArrived(frame.data(), int(frame.size()));
        dialogs.answers << MsgResult::Cancel << MsgResult::Cancel << MsgResult::Cancel;
        frmMain()->menuItem("exit")->trigger();
        QTest::keyClick(frmMain(), Qt::Key_Q, Qt::ControlModifier);
        frmMain()->close();
        QCOMPARE(endings, before);
        QVERIFY(frmMain()->isVisible());
        QCOMPARE(dialogs.shown.size(), 3);
        QCOMPARE(dialogs.shown[2].buttons, MsgButtons::SaveDiscardCancel);

        dialogs.answers << MsgResult::Save;   // and the save dialog cancelled
        frmMain()->menuItem("exit")->trigger();
        QCOMPARE(endings, before);
        dialogs.answers << MsgResult::Save;
        dialogs.fileNames << dir.filePath("kept.nivora");
        frmMain()->menuItem("exit")->trigger();
        QCOMPARE(endings, before + 1);
        QVERIFY(QFileInfo::exists(dir.filePath("kept.nivora")));
        QVERIFY(dialogs.shown.last().text.startsWith("Saved 1 packet(s) to " + dir.filePath("kept.nivora")));

        const qsizetype asked = dialogs.shown.size();
        activate(frmEncodings());
        QTest::keyClick(frmEncodings(), Qt::Key_Q, Qt::ControlModifier);   // saved since: no question
        QTest::keyClick(frmEncodings(), Qt::Key_O, Qt::ControlModifier);   // the open dialog, cancelled
        QCOMPARE(dialogs.fileDialogTitles.last(), QString("Open nivora dataset"));
        loadDataset(dir.filePath("kept.nivora"));   // loaded and unchanged: no question either
        frmMain()->menuItem("exit")->trigger();
        QCOMPARE(endings, before + 3);
        QCOMPARE(dialogs.shown.size(), asked + 1);   // the overwrite question only

        dialogs.answers << MsgResult::No;   // a file's packets added behind the held ones
        loadDataset(dir.filePath("kept.nivora"));
        dialogs.answers << MsgResult::Discard;
        frmMain()->menuItem("exit")->trigger();
        QCOMPARE(endings, before + 4);
        QCOMPARE(dialogs.shown.last().buttons, MsgButtons::SaveDiscardCancel);
        setHeldPacketsUnsaved(false);
    }

    // The detail view shows the chosen packet's comments; its "Comment…" edits
    // them, which the store must save before quitting (to .pcapng, which
    // keeps them). The views' context menu offers the same. The player's
    // Previous/Next comment and their keys choose the commented packets as a
    // click would; past the last one nothing moves.
    void commentsAreShownEditedAndVisited()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        resetBuffer("startup");
        setHeldPacketsUnsaved(false);
        for (int k = 0; k < 6; ++k) recorded::store(frames::ipv4(60 + k, 17));
        setPacketComments(2, {"first", "second"});
        setPacketComments(5, {"five"});
        displayPackets(1, 6);
        QVERIFY(!heldPacketsUnsaved());   // comments as read from a file
        activate(frmFilters());

        packetSelection().choose(6);
        QTest::keyClick(frmFilters(), Qt::Key_BracketRight);   // none after the last
        QCOMPARE(packetSelection().chosen(), 6);
        frmFilters()->btnPreviousComment->click();
        QCOMPARE(packetSelection().chosen(), 5);
        QTest::keyClick(frmFilters(), Qt::Key_BracketLeft);
        QCOMPARE(packetSelection().chosen(), 2);
        frmVis7()->flush();
        QCOMPARE(frmVis7()->lblComment->text(), QString("Comment: first⏎second"));
        QVERIFY(frmVis7()->txtHex->toolTip().endsWith("  comment: first|second"));

        dialogs.texts << std::optional<QString>("one comment now");
        frmVis7()->cmdComment->click();
        QCOMPARE(dialogs.textsShown, QStringList{"first\nsecond"});
        QVERIFY(*packetComments(2) == FrameComments{"one comment now"});
        QCOMPARE(frmVis7()->lblComment->text(), QString("Comment: one comment now"));
        QVERIFY(heldPacketsUnsaved());
        frmFilters()->btnNextComment->click();
        QCOMPARE(packetSelection().chosen(), 5);

        // The context menu's entry edits the packet it was opened on; an empty text removes.
        QMenu menu;
        addCommentEntries(menu, 5);
        dialogs.texts << std::optional<QString>("");
        menu.actions()[0]->trigger();
        QVERIFY(!packetComments(5));
        QVERIFY(frmVis7()->lblComment->text().isEmpty());
        QMenu none;
        addCommentEntries(none, 0);
        QVERIFY(!none.actions()[0]->isEnabled());

        // Quitting asks; saved to .pcapng, which keeps the comment, nothing is asked.
        const int before = endings;
        dialogs.answers << MsgResult::Save;
        dialogs.fileNames << dir.filePath("commented.pcapng");
        frmMain()->menuItem("exit")->trigger();
        QCOMPARE(endings, before + 1);
        QVERIFY(dialogs.shown[dialogs.shown.size() - 2].text.contains("comments"));
        QVERIFY(!heldPacketsUnsaved());   // (the comments read back: TestPacketComments)
        packetSelection().clear();
    }

    // Record plays and catches the open views until Stop: one animation per
    // picture in the program's folder, ending on what the view shows.
    void recordWritesTheOpenViews()
    {
        QTemporaryDir dir;
        setProgramFolder(dir.path());
        resetBuffer("startup");
        for (int k = 0; k < 3000; ++k) recorded::store(frames::ipv4(60 + k % 1400, uint8_t(k % 3 == 0 ? 6 : 17), uint16_t(k)));
        if (!frmVis5()->isVisible()) frmMain()->menuItem(viewRow(5).menuItem)->trigger();
        frmFilters()->show();
        frmFilters()->btnStop->click();
        frmFilters()->spnSpeed->setValue(frmFilters()->spnSpeed->maximum());
        frmFilters()->tglRecord->click();
        QVERIFY(frmFilters()->btnPlay->isChecked());
        QTest::qWait(450);
        frmFilters()->btnPause->click();
        QVERIFY(!frmFilters()->tglRecord->isChecked());
        QVERIFY2(frmFilters()->lblScreenshots->text().contains("animation(s) recorded in " + QDir::toNativeSeparators(dir.path())),
                 qPrintable(frmFilters()->lblScreenshots->text()));
        const QStringList files = QDir(dir.path()).entryList({"*_scatterplot.webp"});
        QCOMPARE(files.size(), 1);
        const webp::Animation a = webp::read(dir.filePath(files[0]));
        QVERIFY(a.ok && a.frames.size() >= 3);
        QCOMPARE(a.frames.last(), frmVis5()->picGraph->image().convertToFormat(QImage::Format_ARGB32));
        QVERIFY(a.frames.first() != a.frames.last());   // it moved
        frmFilters()->btnStop->click();
        setProgramFolder({});
    }


    // The main window's close box ends the program (last: the window is gone).
    void closingTheMainWindowEndsTheProgram()
    {
        const int before = endings;
        frmMain()->close();
        QCOMPARE(endings, before + 1);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child") return runAsChild(argv[2]);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_mainwindow.moc"
