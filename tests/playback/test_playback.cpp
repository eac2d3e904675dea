// The playback window driven like a user: states and their transitions, steps,
// keys, the buffer range, the ring past 16-bit packet numbers and an empty
// store; and the mends: Pause works after every resume, every load and capture
// leaves one consistent Stopped state, a stall is made up for at most 100 ms of
// ticks, a tick waits for the drawing before it, closing while playing is safe,
// and Screenshots and Record say where the files went.
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "platform/CaptureControl.h"
#include "platform/SpinButton.h"
#include "playback/BufferRangeSlider.h"
#include "playback/playbackMath.h"
#include "support/PlaybackFixture.h"
#include "support/captureSupport.h"
#include "support/recordedFiles.h"
#include "support/webpFrames.h"
#include "vis/screenshotFiles.h"

class TestPlayback : public PlaybackFixture {
    Q_OBJECT
    capture_support::FakeAdapters loopback;
    QTemporaryDir home;   // holds the pictures folder

    PictureSurface* lower() const { return w->picBufferSlider->sliderBufferMin; }
    PictureSurface* upper() const { return w->picBufferSlider->sliderBufferMax; }
    // User actions in turn, the work they post run after each: a control's name
    // clicks it, "tick" is one timer tick, "end" puts the position on the last
    // packet (and forgets what was drawn), "lower+N" and "upper-N" drag a thumb
    // N pixels, "Key@control" presses the key with the focus there.
    void act(const QString& script)
    {
        for (const QString& a : script.split(' ', Qt::SkipEmptyParts)) {
            if (a == "tick") {
                w->tick();
            } else if (a == "end") {
                moveTo(w->scrPacket->maximum());
                views.forget();
            } else if (a.startsWith("lower") || a.startsWith("upper")) {   // grabbed at its middle
                PictureSurface* thumb = a.startsWith("lower") ? lower() : upper();
                QTest::mousePress(thumb, Qt::LeftButton, {}, {8, 8});
                QTest::mouseMove(thumb, {8 + a.mid(5).toInt(), 8});
                QTest::mouseRelease(thumb, Qt::LeftButton, {}, {8, 8});
            } else if (a.contains('@')) {
                QWidget* focus = w->findChild<QWidget*>(a.section('@', 1));
                focus->setFocus();
                const QKeyCombination key = QKeySequence(a.section('@', 0, 0))[0];
                QTest::keyClick(focus, key.key(), key.keyboardModifiers());
            } else {
                click(w->findChild<QPushButton*>(a));
            }
            settle();
        }
    }
    // A fresh program folder in `dir` (inside a plain file when it must take no
    // files: not even root makes files in a file) and an empty pictures folder.
    std::pair<QString, QString> outputFolders(const QTemporaryDir& dir, bool takesNoFiles)
    {
        recorded::writeFile(dir.filePath("file"), "x");
        QDir().mkpath(dir.filePath("program"));
        const QString pictures = home.filePath("Pictures");
        QDir(pictures).removeRecursively();
        return {dir.filePath(takesNoFiles ? "file/program" : "program"), pictures};
    }
    // After the actions: the timer and the toggles that are down ("off" or "off
    // Stop" is Stopped, "on Play" Playing, "off Play Pause" Paused), the counter,
    // and what view 1 drew meanwhile and how often it was cleared.
    QString run(const QString& script)
    {
        views.forget();
        act(script);
        QString s = playing() ? "on" : "off";
        for (QPushButton* b : {w->btnPlay, w->btnPause, w->btnStop})
            if (b->isChecked()) s += " " + b->text();
        QStringList drawn;
        for (int32_t n : view().plotted()) drawn << QString::number(n);
        return QString("%1 at %2, drew [%3], %4 clears").arg(s, counter(), drawn.join(' '))
            .arg(view().count(Call::Clear));
    }
    // The counter, the held range on the bar and its labels, the buffer range and its labels.
    QString labels() const
    {
        return QString("counter %1 bar %2..%3 labels %4..%5 buffer '%6' %7..%8").arg(counter())
            .arg(w->scrPacket->minimum()).arg(w->scrPacket->maximum())
            .arg(w->lblPacketMin->text(), w->lblPacketMax->text(), w->lblBufferRange->text(),
                 w->lblRangeMin->text(), w->lblRangeMax->text());
    }

private slots:
    void initTestCase()
    {
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    }
    void init() { open(20); }
    void cleanup()
    {
        if (frmCapture()->packet->isCapturing()) frmCapture()->StopCapture();
        delete frmCapture();
        installAdapterSource(nullptr);
        view().onPlot = nullptr;
        finish();
    }

    // The views are cleared by Play after Stop only. Play from Stopped draws the
    // first held packet first, and the counter names the packet drawn last.
    void transitions_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as loaded") << "" << "off Stop at 1, drew [], 0 clears";
        QTest::newRow("play from Stop") << "btnPlay tick tick" << "on Play at 2, drew [1 2], 1 clears";
        QTest::newRow("stop") << "btnPlay tick btnStop" << "off Stop at 1, drew [1], 1 clears";
        QTest::newRow("stop, play, tick") << "btnPlay tick tick btnStop btnPlay tick" << "on Play at 1, drew [1 2 1], 2 clears";
        QTest::newRow("end, Loop up, play again") << "btnPlay end tick btnPlay tick" << "on Play at 1, drew [1], 0 clears";
        QTest::newRow("stop, play") << "btnPlay btnStop btnPlay" << "on Play at 1, drew [], 2 clears";
        QTest::newRow("pause, nothing playing") << "btnPause" << "off Stop at 1, drew [], 0 clears";
        QTest::newRow("end, Loop up") << "btnPlay end tick" << "off at 1, drew [], 0 clears";
        QTest::newRow("end, Loop down") << "tglLoop btnPlay end tick" << "on Play at 1, drew [1], 0 clears";
        QTest::newRow("steps at Max")
            << "end btnStepForward btnStepBackward" << "off Stop at 19, drew [19], 0 clears";
    }
    void transitions()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(run(script), expected);
        QCOMPARE(position(), counter().toInt());
    }

    // Resumed by Play, by raising Pause and by Play while playing: Pause still pauses.
    void pauseWorksAfterEveryResume()
    {
        QCOMPARE(run("btnPlay btnPause"), QString("off Play Pause at 1, drew [], 1 clears"));
        int next = 1;   // nothing drawn yet: the first tick shows packet 1
        for (const char* resume : {"btnPlay", "btnPause", "btnPlay btnPlay"}) {
            QCOMPARE(run(resume), QString("on Play at %1, drew [], 0 clears").arg(position()));
            QCOMPARE(run("tick btnPause"), QString("off Play Pause at %1, drew [%1], 0 clears").arg(next));
            ++next;
        }
    }

    // Space plays and pauses, Left and Right step, Home stops, wherever the focus
    // is, a focused button included (Loop is not toggled by it); Enter presses
    // the focused button, and the arrows move a focused thumb.
    void playerKeys()
    {
        QCOMPARE(run("Space@scrPacket"), QString("on Play at 1, drew [], 1 clears"));
        QCOMPARE(run("Space@tglLoop Right@btnStop"), QString("off Play Pause at 2, drew [2], 0 clears"));
        QVERIFY(!w->tglLoop->isChecked());
        QCOMPARE(run("Right@scrPacket Left@btnPlay"), QString("off Play Pause at 2, drew [3 2], 0 clears"));
        QCOMPARE(run("Home@lblCurrentSpeed Return@btnStepForward Enter@btnStepForward"),
                 QString("off Stop at 3, drew [2 3], 0 clears"));
        QCOMPARE(run("Return@tglLoop Space@btnStepForward"), QString("on Play at 3, drew [], 1 clears"));
        QVERIFY(w->tglLoop->isChecked());
        act("Space@btnPlay Home@btnPlay");
        QCOMPARE(run("Right@sliderBufferMin").section(',', 0, 0), QString("off Stop at 1"));
        QCOMPARE(w->picBufferSlider->minPos(), 1);
    }

    // The track is 300 px wide, the thumbs 17 px, the upper one resting 4 px
    // short of the right end: usable = 300 - 17 - 17 = 266.
    void thumbsPickTheRangeToDraw()
    {
        // 133 / 266 of the 19 steps above packet 1 is 9.5, which rounds to 10.
        QCOMPARE(run("lower+133"), QString("off Stop at 1, drew [11 12 13 14 15 16 17 18 19 20], 0 clears"));
        for (int k : {2, 4}) QCOMPARE(view(k).calls.count({Call::InitBuffer, 0}), 1);   // they accumulate
        // Upper thumb to 179: (179 - 17 + 4) / 266 * 19 = 11.86, so packet 13.
        QCOMPARE(run("upper-100"), QString("off Stop at 1, drew [11 12 13], 0 clears"));
        // The thumbs stay one pixel apart, inside the track: one packet at least.
        act("lower+1000 upper+1000");
        QCOMPARE(QString("%1 %2").arg(lower()->x()).arg(upper()->x()), QString("161 279"));
    }

    // The ring holds the newest 30000 packets; numbers go on past 32767.
    void rangesPastSixteenBits()
    {
        open(30001);
        QCOMPARE(labels(), QString("counter 2 bar 2..30001 labels 2..30001 buffer '2 - 30001' 2..30001"));
        addPackets(40000 - 30001);   // added while the window is open (a capture): the ranges move along
        QCOMPARE(labels(), QString("counter 40000 bar 10001..40000 labels 10001..40000 "
                                   "buffer '10001 - 40000' 10001..40000"));
        w->initFilters();
        QCOMPARE(labels(), QString("counter 10001 bar 10001..40000 labels 10001..40000 "
                                   "buffer '10001 - 40000' 10001..40000"));
        moveTo(35000);
        QCOMPARE(view().plotted(), QList<int32_t>{35000});
        QCOMPARE(run("tglLoop btnPlay end tick"), QString("on Play at 10001, drew [10001], 0 clears"));
        act("upper+0");
        QCOMPARE(w->lblBufferRange->text(), QString("10001 - 40000"));
    }

    void emptyStoreDrawsNothing()
    {
        open(0);
        addPackets(5);
        resetBuffer("file");   // answered Yes
        // Steps do nothing, Play stops at its first tick, the thumbs pick no packet.
        QCOMPARE(run("btnStepForward btnPlay tick lower+0"), QString("off at 0, drew [], 1 clears"));
        QCOMPARE(labels(), QString("counter 0 bar 1..1 labels 1..0 buffer '1 - 0' 1..0"));
    }

    // The close box destroys the window while it plays: between two ticks, or
    // in the middle of a drawing it started.
    void closingWhilePlaying_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("between ticks") << "";
        QTest::newRow("tick") << "tick";
        QTest::newRow("buffer range") << "upper-50";
    }
    void closingWhilePlaying()
    {
        QFETCH(QString, script);
        click(w->btnPlay);
        const QPointer<FrmFilters> old(w);
        view().onPlot = [&](int32_t) {
            view().onPlot = nullptr;
            closeWindow(old);
        };
        if (script.isEmpty()) closeWindow(old);
        act(script);
        QVERIFY(!old);
        QCOMPARE(view().plotted().isEmpty(), script.isEmpty());
        w = frmFilters();
        QCOMPARE(run(""), QString("off Stop at 1, drew [], 0 clears"));
        QCOMPARE(w->scrPacket->maximum(), 20);
    }

    void aTickDuringADrawingWaitsForIt()
    {
        click(w->btnPlay);
        int depth = 0, deepest = 0;
        view().onPlot = [&](int32_t n) {
            deepest = std::max(deepest, ++depth);
            if (n == 1 || n == 3) w->tick();   // the timer fires while packets 1 and 3 draw,
            if (n == 3) click(w->btnStop);   // and Stop is pressed while 3 draws
            --depth;
        };
        w->tick();
        QCOMPARE(deepest, 1);
        QCOMPARE(view().plotted(), (QList<int32_t>{1, 2}));   // the waiting tick ran after it
        QCOMPARE(run("tick"), QString("off Stop at 1, drew [3], 0 clears"));   // the waiting tick was dropped
    }

    // Each after a little playing and the buffer range narrowed, as a user would.
    void oneConsistentStateAfterLoadsAndCaptures()
    {
        const auto after = [&](const std::function<void()>& event, const char* expected) {
            act("btnPlay tick tick Shift+Right@sliderBufferMin");
            QCOMPARE(lower()->x(), 10);
            event();
            const BufferRangeSlider* t = w->picBufferSlider;
            QVERIFY2(!playing() && !w->btnPlay->isChecked() && !w->btnPause->isChecked(), expected);
            QVERIFY2(w->btnStop->isChecked(), expected);   // so the next Play starts from clear views
            QVERIFY2(t->minPos() == 0 && t->maxPos() == t->usable(), expected);   // the thumbs at the ends
            QCOMPARE(labels(), QString(expected));
        };
        QTemporaryDir dir;
        const QString file = dir.filePath("five.nivora");
        QVERIFY(recorded::writeFile(file, recorded::dataset(std::vector(5, frames::ipv4(60, 6)))));
        after([&] { loadDataset(file); }, "counter 1 bar 1..5 labels 1..5 buffer '1 - 5' 1..5");

        SKIP_UNLESS_CAPTURE_PERMITTED();
        loopback.listing = {{{"lo", "", kLinkEthernet}}, ""};
        installAdapterSource(&loopback);
        delete frmCapture();
        frmCapture()->txtFilter->setText("ether proto 0x88b5");   // nothing on lo uses it: only our frames
        after([] { frmCapture()->StartCapture(); }, "counter 0 bar 1..1 labels 1..0 buffer '1 - 0' 1..0");
        for (int i = 0; i < 3; ++i) frmCapture()->packetArrived(frames::ipv4(60, 6).data(), 60);
        after([] { frmCapture()->StopCapture(); }, "counter 1 bar 1..3 labels 1..3 buffer '1 - 3' 1..3");
    }

    // A stall (the process not running, a slow disk) is made up for 100 ms at
    // most: at 1000 packets a second, 0.4 s draw 1 + 100 packets, not 1 + 50 nor
    // 400 (give or take the real ticks a loaded machine lets in at the drawing's
    // yield points).
    void stallsAreMadeUpForAtMost100ms()
    {
        addPackets(400);
        w->spnSpeed->setValue(1000);
        act("btnPlay");
        views.forget();
        QTest::qSleep(400);   // no event is handled meanwhile
        QCoreApplication::processEvents();   // the timer's one late tick
        const qsizetype drawn = view().plotted().size();
        QVERIFY2(drawn >= 99 && drawn <= 112, qPrintable(QString::number(drawn)));
    }

    // As captured, under a fake clock read every `stepUs`: the last packet is
    // drawn the captured span (scaled) after Play, lateness never adding up.
    // A packet without a time waits the numeric speed's 100 ms, a time going
    // back not at all, an hour's gap 2 s, which the player says.
    void playsAsCaptured_data()
    {
        QTest::addColumn<QList<qint64>>("timesMs");   // from 1700000000 s; -1: no time
        QTest::addColumn<int>("factor");              // x1, x10, x100, /10
        QTest::addColumn<int>("stepUs");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("within");           // of seconds
        QTest::addColumn<QString>("told");
        QList<qint64> tenths, millis;
        for (int k = 0; k <= 10; ++k) tenths << 100 * k;
        for (int k = 0; k <= 1000; ++k) millis << k;
        QTest::newRow("x1") << tenths << 0 << 100 << 1.0 << 0.05 << "";
        QTest::newRow("x10") << tenths << 1 << 100 << 0.1 << 0.1 << "";
        QTest::newRow("x100") << tenths << 2 << 10 << 0.01 << 0.1 << "";
        QTest::newRow("/10, shortened") << QList<qint64>{0, 10, 20, 320} << 3 << 100 << 2.2 << 0.01
                                        << "A gap of 0.300000 s after packet 3 was played as 2 s";
        QTest::newRow("1000 gaps of 1 ms, clock read every 0.7 ms") << millis << 0 << 700 << 1.0 << 0.005 << "";
        QTest::newRow("untimed, backwards, an hour") << QList<qint64>{0, -1, 50, 20, 3600020} << 0 << 100 << 2.2 << 0.01
                                                     << "A gap of 3600.000000 s after packet 4 was played as 2 s";
    }
    void playsAsCaptured()
    {
        QFETCH(QList<qint64>, timesMs);
        QFETCH(int, factor);
        QFETCH(int, stepUs);
        QFETCH(double, seconds);
        QFETCH(double, within);
        QFETCH(QString, told);
        open(0);
        const auto frame = frames::ipv4(60, 6);
        for (const qint64 ms : timesMs)
            addPacket(frame.data(), 59, ms < 0 ? kNoTime : captureTimeOf(1700000000, ms, 1000));
        w->initFilters();
        int64_t now = 0, lastDrawn = -1;
        QString timeShown;
        w->paceClock = [&] { return now; };
        view().onPlot = [&](int32_t) {
            lastDrawn = now;
            timeShown = w->lblPacketTime->text();
        };
        w->cmbPaceFactor->setCurrentIndex(factor);
        act("Return@tglAsCaptured btnPlay");   // the toggle from the keyboard
        while (playing() && now < 10 * kNsPerSecond) {
            now += stepUs * 1000;
            w->timerFired();
        }
        QCOMPARE(view().plotted().size(), timesMs.size());   // Play from Stopped draws the first too
        QVERIFY2(std::abs(lastDrawn / 1e9 - seconds) <= within * seconds, qPrintable(QString::number(lastDrawn / 1e9)));
        QCOMPARE(w->lblPace->text(), told);
        // Beside the counter while it was drawn, the last packet's time: its seconds are the same in every time zone.
        const qint64 last = timesMs.last();
        const QString secondsShown = QString(":%1.%2").arg((20 + last / 1000) % 60, 2, 10, QChar('0')).arg(last % 1000 * 1000, 6, 10, QChar('0'));
        QVERIFY2(timeShown.endsWith(secondsShown), qPrintable(timeShown));
    }

    // Packets captured at one moment are all due at once: they are played in
    // bursts, with the event loop served between, never a whole ring in one go.
    void packetsCapturedTogetherArePlayedInBursts()
    {
        open(0);
        const auto frame = frames::ipv4(60, 6);
        for (int k = 0; k < 200; ++k) addPacket(frame.data(), 59, captureTimeOf(1700000000, 0, 1000));
        w->initFilters();
        int64_t now = 0;
        w->paceClock = [&] { return now; };
        qsizetype drawn = 0;
        act("Return@tglAsCaptured btnPlay");   // its event loop pass may fire the timer too
        for (int call = 0; playing() && call < 10; ++call) {
            QVERIFY2(view().plotted().size() - drawn <= 64, qPrintable(QString::number(drawn)));
            drawn = view().plotted().size();
            w->timerFired();
            now += kNsPerSecond;
            if (view().plotted().size() < 200) QCOMPARE(w->tmrPlayTimer->interval(), 0);   // the rest are due now
        }
        QCOMPARE(view().plotted().size(), 200);
    }

    // "As captured" unticked while a packet of a burst is drawn: the player goes
    // on at the speed set with the arrows.
    void leavingAsCapturedMidBurstGoesBackToTheSpeed()
    {
        open(0);
        const auto frame = frames::ipv4(60, 6);
        for (int k = 0; k < 10; ++k) addPacket(frame.data(), 59, captureTimeOf(1700000000, 0, 1000));
        w->initFilters();
        w->paceClock = [] { return int64_t(0); };
        view().onPlot = [&](int32_t) { w->tglAsCaptured->setChecked(false); };
        act("Return@tglAsCaptured btnPlay");
        view().onPlot = nullptr;
        QCOMPARE(w->tmrPlayTimer->interval(), timerIntervalForSpeed(w->spnSpeed->value()));
        w->timerFired();
        QVERIFY(playing());
    }

    // After "Screenshots" the player says how many files went where, or why none
    // did; a file that cannot be written is named with its reason, the others still are.
    void screenshotsSayWhereTheyWent_data()
    {
        QTest::addColumn<QList<int>>("shownViews");
        QTest::addColumn<QString>("line");   // %1: the program's folder, %2: the pictures folder
        QTest::newRow("no view with a picture")
            << QList<int>{7} << "No screenshots saved: no view window with a picture is open.";
        QTest::newRow("read-only program folder")
            << QList<int>{2} << "The program's folder takes no files: 1 screenshot saved in %2 instead.";
        QTest::newRow("a folder in the way")
            << QList<int>{1, 2, 6} << "2 screenshots saved in %1; 1 could not be saved.";
    }
    void screenshotsSayWhereTheyWent()
    {
        QFETCH(QList<int>, shownViews);
        QFETCH(QString, line);
        // The files are named by this stamp, so a folder can stand in the way of one.
        QCOMPARE(screenshotTimeStamp({QDate(2026, 12, 5), QTime(15, 26, 53)}), QString("20261205_152653"));
        const QDateTime now = QDateTime::currentDateTime();
        QTemporaryDir dir;
        const bool readOnly = line.contains("takes no files");
        const auto [program, pictures] = outputFolders(dir, readOnly);
        for (int s = 0; line.contains("could not") && s < 3; ++s)
            QDir(program).mkdir(screenshotTimeStamp(now.addSecs(s)) + "_bytefrequency.bmp");
        for (int k = 1; k <= 7; ++k) view(k).shown = shownViews.contains(k);
        dialogs.shown.clear();
        setProgramFolder(program);
        click(w->btnScreenShot);
        setProgramFolder({});

        QCOMPARE(w->lblScreenshots->text(), line.replace("%1", program).replace("%2", pictures));
        QCOMPARE(QDir(readOnly ? pictures : program).entryList({"*.bmp"}, QDir::Files).size(),
                 QRegularExpression(R"((\d+) screenshots? saved)").match(line).captured(1).toInt());
        QCOMPARE(dialogs.shown.size(), line.contains("could not") ? 1 : 0);
        for (const ShownMessage& box : dialogs.shown)
            QVERIFY(box.text.contains("_bytefrequency.bmp") && box.icon == MsgIcon::Exclamation);
    }

    // "Record" ends with Pause or Stop (or pressed again) and writes one
    // animation per shown picture; twice in one second keeps both; with no view
    // it records nothing; a program folder that takes no files sends them to
    // the pictures folder, as screenshots.
    void recordEndsAndSaysWhere_data()
    {
        QTest::addColumn<QList<int>>("shownViews");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("line");   // %1: the program's folder, %2: the pictures folder
        QTest::addColumn<int>("files");
        QTest::newRow("Pause") << QList<int>{1, 2} << "tglRecord tick btnPause" << "2 animation(s) recorded in %1." << 2;
        QTest::newRow("Stop") << QList<int>{3} << "tglRecord tick btnStop" << "1 animation(s) recorded in %1." << 1;
        QTest::newRow("pressed again") << QList<int>{3} << "tglRecord tglRecord" << "1 animation(s) recorded in %1." << 1;
        QTest::newRow("twice in one second")
            << QList<int>{3} << "tglRecord btnStop tglRecord btnStop" << "1 animation(s) recorded in %1." << 2;
        QTest::newRow("no view") << QList<int>{7} << "tglRecord"
                                 << "Nothing recorded: no view window with a picture is open." << 0;
        QTest::newRow("read-only program folder")
            << QList<int>{3} << "tglRecord btnStop"
            << "The program's folder takes no files: 1 animation(s) recorded in %2 instead." << 1;
    }
    void recordEndsAndSaysWhere()
    {
        QFETCH(QList<int>, shownViews);
        QFETCH(QString, script);
        QFETCH(QString, line);
        QFETCH(int, files);
        QTemporaryDir dir;
        const bool readOnly = line.contains("takes no files");
        const auto [program, pictures] = outputFolders(dir, readOnly);
        for (int k = 1; k <= 7; ++k) view(k).shown = shownViews.contains(k);
        setProgramFolder(program);
        act(script);
        setProgramFolder({});

        QCOMPARE(w->lblScreenshots->text(), line.replace("%1", program).replace("%2", pictures));
        QVERIFY(!w->tglRecord->isChecked());
        const QDir folder(readOnly ? pictures : program);
        const QStringList written = folder.entryList({"*.webp"}, QDir::Files);
        QCOMPARE(written.size(), files);
        for (const QString& name : written) QVERIFY(webp::read(folder.filePath(name)).frames.size() >= 1);
    }
};

QTEST_MAIN(TestPlayback)
#include "test_playback.moc"
