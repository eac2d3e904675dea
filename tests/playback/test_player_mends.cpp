// The player as a user finds it: Pause keeps working after any number of
// resumes, every load and capture leaves one consistent Stopped state, and a
// stall is made up for at most 100 ms of ticks.
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "platform/AdapterSource.h"
#include "platform/CaptureControl.h"
#include "platform/SpinButton.h"
#include "playback/BufferRangeSlider.h"
#include "support/PlaybackFixture.h"
#include "support/captureSupport.h"
#include "support/recordedFiles.h"
#include "vis/screenshotFiles.h"

namespace {
struct LoopbackOnly : AdapterSource {
    AdapterListing probe() override { return {{{"lo", "", kLinkEthernet}}, ""}; }
};
}

class TestPlayerMends : public PlaybackFixture {
    Q_OBJECT
    LoopbackOnly loopback;

    // The timer and the toggles that are down: "off" Stopped, "on Play" Playing, "off Play Pause" Paused.
    QString state() const
    {
        QString s = playing() ? "on" : "off";
        for (QPushButton* b : {w->btnPlay, w->btnPause, w->btnStop})
            if (b->isChecked()) s += " " + b->text();
        return s;
    }
    // Everything the player shows about where it stands and what it holds.
    QString shown() const
    {
        const BufferRangeSlider* t = w->picBufferSlider;
        return QString("%1 at %2 counter %3 bar %4..%5 labels %6..%7 buffer '%8' %9..%10 thumbs %11")
            .arg(state().startsWith("off Play") || state().startsWith("on") ? "not stopped" : "stopped")
            .arg(position()).arg(counter())
            .arg(w->scrPacket->minimum()).arg(w->scrPacket->maximum())
            .arg(w->lblPacketMin->text(), w->lblPacketMax->text(), w->lblBufferRange->text(),
                 w->lblRangeMin->text(), w->lblRangeMax->text())
            .arg(t->minPos() == 0 && t->maxPos() == t->usable() ? "at the ends" : "moved");
    }
    // Plays a few packets and narrows the buffer range, as a user would before loading again.
    void wanderOff()
    {
        click(w->btnPlay);
        for (int i = 0; i < 3; ++i) w->tick();
        w->picBufferSlider->sliderBufferMin->setFocus();
        QTest::keyClick(w->picBufferSlider->sliderBufferMin, Qt::Key_Right, Qt::ShiftModifier);
        settle();
        QCOMPARE(shown().contains("moved"), true);
    }

private slots:
    void init() { open(20); }
    void cleanup()
    {
        if (frmCapture()->packet->isCapturing()) frmCapture()->StopCapture();
        delete frmCapture();
        installAdapterSource(nullptr);
        finish();
    }

    void pauseWorksAfterEveryResume_data()
    {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QStringList>("states");   // after each press
        QTest::newRow("Play, Pause three times")
            << QStringList{"Play", "Pause", "Play", "Pause", "Play", "Pause", "Play"}
            << QStringList{"on Play", "off Play Pause", "on Play", "off Play Pause", "on Play", "off Play Pause", "on Play"};
        QTest::newRow("Pause raised to resume") << QStringList{"Play", "Pause", "Pause", "Pause"}
                                                << QStringList{"on Play", "off Play Pause", "on Play", "off Play Pause"};
        QTest::newRow("Play while playing") << QStringList{"Play", "Play", "Pause", "Play", "Play"}
                                            << QStringList{"on Play", "on Play", "off Play Pause", "on Play", "on Play"};
        QTest::newRow("then Stop") << QStringList{"Play", "Pause", "Play", "Stop", "Play"}
                                   << QStringList{"on Play", "off Play Pause", "on Play", "off Stop", "on Play"};
    }
    void pauseWorksAfterEveryResume()
    {
        QFETCH(QStringList, presses);
        QFETCH(QStringList, states);
        for (int i = 0; i < presses.size(); ++i) {
            const int before = position();
            click(w->findChild<QPushButton*>("btn" + presses[i]));
            QCOMPARE(state(), states[i]);
            if (presses[i] != "Stop") QCOMPARE(position(), before);   // a pause holds the position
            if (playing()) w->tick();
        }
    }

    void oneConsistentStateAfterLoadsAndCaptures_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("expected");
        QTest::newRow("load") << "load" << "stopped at 1 counter 1 bar 1..5 labels 1..5 buffer '1 - 5' 1..5 thumbs at the ends";
        QTest::newRow("append") << "append" << "stopped at 1 counter 1 bar 1..25 labels 1..25 buffer '1 - 25' 1..25 thumbs at the ends";
        QTest::newRow("capture start") << "start" << "stopped at 1 counter 0 bar 1..1 labels 1..0 buffer '1 - 0' 1..0 thumbs at the ends";
        QTest::newRow("capture stop") << "stop" << "stopped at 1 counter 1 bar 1..3 labels 1..3 buffer '1 - 3' 1..3 thumbs at the ends";
    }
    void oneConsistentStateAfterLoadsAndCaptures()
    {
        QFETCH(QString, event);
        QFETCH(QString, expected);
        if (event == "start" || event == "stop") {
            SKIP_UNLESS_CAPTURE_PERMITTED();
            installAdapterSource(&loopback);
            delete frmCapture();
            frmCapture()->txtFilter->setText("ether proto 0x88b5");   // nothing on lo uses it: only our frames
        }
        if (event == "stop") {
            frmCapture()->StartCapture();
            QVERIFY(frmCapture()->packet->isCapturing());
            for (int i = 0; i < 3; ++i) frmCapture()->packetArrived(frames::ipv4(60, 6).data(), 60);
        }
        wanderOff();
        if (event == "load" || event == "append") {
            QTemporaryDir dir;
            const QString file = dir.filePath("five.nivora");
            QVERIFY(recorded::writeFile(file, recorded::dataset(std::vector<recorded::Frame>(5, frames::ipv4(60, 17)))));
            if (event == "append") dialogs.answers.enqueue(MsgResult::No);
            loadDataset(file);
        } else if (event == "start") {
            frmCapture()->StartCapture();
        } else {
            frmCapture()->StopCapture();
        }
        QCOMPARE(shown(), expected);
    }

    // A stall (the process not running, a slow disk) is made up for 100 ms at most.
    void stallsAreMadeUpForAtMost100ms_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("fewest");
        QTest::addColumn<int>("most");
        QTest::newRow("1 per second") << 1 << 2100 << 1 << 1;       // not 2
        QTest::newRow("5 per second") << 5 << 1100 << 1 << 1;       // not 5
        QTest::newRow("20 per second") << 20 << 1000 << 3 << 3;     // 1 + 100 ms of 50 ms ticks
        // 1 + 100, not 1 + 50; give or take the real ticks a loaded machine
        // lets in at the drawing's yield points.
        QTest::newRow("1000 per second") << 1000 << 400 << 99 << 112;
    }
    void stallsAreMadeUpForAtMost100ms()
    {
        QFETCH(int, speed);
        QFETCH(int, stallMs);
        QFETCH(int, fewest);
        QFETCH(int, most);
        addPackets(400);
        w->spnSpeed->setValue(speed);
        click(w->btnPlay);
        views.forget();
        QTest::qSleep(stallMs);   // no event is handled meanwhile
        QCoreApplication::processEvents();   // the timer's one late tick
        const int drawn = int(view().plotted().size());
        QVERIFY2(drawn >= fewest && drawn <= most, qPrintable(QString::number(drawn)));
    }

    void playerKeys()
    {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto press = [&](QWidget* focus, Qt::Key key) {
            focus->setFocus();
            QTest::keyClick(focus, key);
            return QString("%1 at %2").arg(state()).arg(position());
        };
        QCOMPARE(press(w->scrPacket, Qt::Key_Space), QString("on Play at 1"));
        QVERIFY(w->scrPacket->findChild<QWidget*>("focusFrame")->isVisible());   // the bar shows its focus
        QCOMPARE(press(w->scrPacket, Qt::Key_Space), QString("off Play Pause at 1"));
        QCOMPARE(press(w->btnStop, Qt::Key_Right), QString("off Play Pause at 2"));
        QCOMPARE(press(w->scrPacket, Qt::Key_Right), QString("off Play Pause at 3"));
        QCOMPARE(press(w->btnPlay, Qt::Key_Left), QString("off Play Pause at 2"));
        QCOMPARE(press(w->lblCurrentSpeed, Qt::Key_Space), QString("on Play at 2"));   // resumed
        QCOMPARE(press(w->btnPause, Qt::Key_Home), QString("off Stop at 1"));
        QCOMPARE(press(w->btnStepForward, Qt::Key_Space), QString("off Stop at 2"));   // Space presses the button
        QCOMPARE(press(w->btnPlay, Qt::Key_Return), QString("on Play at 2"));   // so does Enter
        QCOMPARE(press(w->picBufferSlider->sliderBufferMin, Qt::Key_Right), QString("on Play at 2"));   // the thumb moves instead
        QCOMPARE(w->picBufferSlider->minPos(), 1);
    }

    // After "Screenshots" the player says how many files went where, or why none did.
    void screenshotsSayWhereTheyWent_data()
    {
        QTest::addColumn<QList<int>>("shownViews");
        QTest::addColumn<bool>("programFolderTakesFiles");
        QTest::addColumn<QString>("line");   // %1: the program's folder, %2: the pictures folder
        QTest::newRow("no view open") << QList<int>{7} << true << "No screenshots saved: no view window with a picture is open.";
        QTest::newRow("program folder") << QList<int>{1, 6} << true << "2 screenshots saved in %1.";
        QTest::newRow("read-only program folder") << QList<int>{2}
                                                  << false << "The program's folder takes no files: 1 screenshot saved in %2 instead.";
    }
    void screenshotsSayWhereTheyWent()
    {
        QFETCH(QList<int>, shownViews);
        QFETCH(bool, programFolderTakesFiles);
        QFETCH(QString, line);
        QTemporaryDir dir;
        // Not even root can make a file in a "folder" that is a file.
        QVERIFY(recorded::writeFile(dir.filePath("file"), "x"));
        const QString program = programFolderTakesFiles ? dir.filePath("program") : dir.filePath("file/program");
        QDir().mkpath(dir.filePath("program"));
        const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(dir.filePath("home")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("home/.config")));
        setProgramFolder(program);
        for (int k = 1; k <= 7; ++k) view(k).shown = shownViews.contains(k);
        const qsizetype messages = dialogs.shown.size();

        click(w->btnScreenShot);
        setProgramFolder({});
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
        const QString pictures = dir.filePath("home/Pictures");
        QCOMPARE(w->lblScreenshots->text(), line.replace("%1", program).replace("%2", pictures));
        const int files = int(QDir(programFolderTakesFiles ? program : pictures).entryList({"*.bmp"}).size());
        QCOMPARE(files, line.startsWith("No") ? 0 : int(shownViews.size()));
        QCOMPARE(dialogs.shown.size(), messages);   // nothing failed
    }
};

QTEST_MAIN(TestPlayerMends)
#include "test_player_mends.moc"
