// The playback window driven like a user: states and their transitions,
// ticks, steps, positioning by hand and the timer interval for each speed.
#include "platform/SpinButton.h"
#include "support/PlaybackFixture.h"

class TestPlayback : public PlaybackFixture {
    Q_OBJECT
    // The timer ("on"/"off") and the toggles that are down: "off" or "off Stop"
    // is Stopped, "on Play" Playing, "off Play Pause" Paused.
    QString state() const
    {
        QString s = playing() ? "on" : "off";
        for (QPushButton* b : {w->btnPlay, w->btnPause, w->btnStop})
            if (b->isChecked()) s += " " + b->text();
        return s;
    }

private slots:
    void init() { open(20); }
    void cleanup() { finish(); }

    void playPauseResumeStop()
    {
        QCOMPARE(state(), QString("off Stop"));   // as loaded
        QCOMPARE(counter(), QString("1"));
        click(w->btnPlay);
        QCOMPARE(state(), QString("on Play"));
        QCOMPARE(view().calls, (Calls{{Call::Clear, 0}}));   // Stop was down: the views start empty
        view().calls.clear();
        w->tick();
        w->tick();
        QCOMPARE(view().calls, (Calls{{Call::Plot, 2}, {Call::Thumbnail, 2}, {Call::Plot, 3}, {Call::Thumbnail, 3}}));
        QCOMPARE(view(7).plotted(), (QList<int32_t>{2, 3}));   // every shown view draws
        QCOMPARE(counter(), QString("3"));

        click(w->btnPause);
        QCOMPARE(state(), QString("off Play Pause"));
        click(w->btnPause);   // raised: resume
        QCOMPARE(state(), QString("on Play"));
        QCOMPARE(position(), 3);
        click(w->btnPause);
        click(w->btnPlay);   // Play while paused resumes: Pause comes up, Play stays down
        QCOMPARE(state(), QString("on Play"));

        view().calls.clear();
        click(w->btnStop);
        QCOMPARE(state(), QString("off Stop"));
        QCOMPARE(position(), 1);
        QCOMPARE(counter(), QString("1"));
        QVERIFY(view().calls.isEmpty());   // Stop neither draws nor clears
        click(w->btnPlay);   // Stop then Play clears
        QCOMPARE(view().calls, (Calls{{Call::Clear, 0}}));
        click(w->btnPause);
        click(w->btnStop);   // from Paused
        QCOMPARE(state(), QString("off Stop"));
    }

    void togglesPressedOutOfTurn()
    {
        click(w->btnPause);   // nothing plays: Pause pops back up
        QCOMPARE(state(), QString("off Stop"));
        click(w->btnPlay);
        click(w->btnPlay);   // Play pressed again: it keeps playing, Play down
        QCOMPARE(state(), QString("on Play"));
    }

    void naturalEnd_data()
    {
        QTest::addColumn<bool>("loop");
        QTest::newRow("Loop up: Stopped") << false;
        QTest::newRow("Loop down: wraps") << true;
    }
    void naturalEnd()
    {
        QFETCH(bool, loop);
        if (loop) click(w->tglLoop);
        click(w->btnPlay);
        moveTo(20);
        view().calls.clear();
        w->tick();
        QCOMPARE(position(), 1);
        QCOMPARE(counter(), QString("1"));
        if (loop) {   // packet 1 is drawn over what the views show
            QCOMPARE(state(), QString("on Play"));
            QCOMPARE(view().calls, (Calls{{Call::Plot, 1}, {Call::Thumbnail, 1}}));
            return;
        }
        QCOMPARE(state(), QString("off"));   // all three toggles up
        QVERIFY(view().calls.isEmpty());   // rewound, nothing drawn
        click(w->btnPlay);   // Stop never pressed: the views keep what they show
        QCOMPARE(state(), QString("on Play"));
        QVERIFY(view().calls.isEmpty());
    }

    void lateTicksAreMadeUpWithinLimits()
    {
        addPackets(80);
        click(w->btnMaxSpeed);
        click(w->btnPlay);
        QTest::qSleep(30);   // the event loop is held up: no tick arrives meanwhile
        w->timerFired();
        QVERIFY2(position() >= 25 && position() <= 52, qPrintable(QString::number(position())));
    }

    void stepsInEveryStateAndAtTheEnds()
    {
        click(w->btnStepBackward);   // at Min: nothing
        QCOMPARE(counter(), QString("1"));
        click(w->btnStepForward);
        QCOMPARE(view().calls, (Calls{{Call::Plot, 2}, {Call::Thumbnail, 2}}));
        QCOMPARE(counter(), QString("2"));
        QCOMPARE(state(), QString("off Stop"));
        click(w->btnPlay);
        click(w->btnStepForward);
        QCOMPARE(state(), QString("on Play"));
        click(w->btnPause);
        click(w->btnStepBackward);
        QCOMPARE(state(), QString("off Play Pause"));
        QCOMPARE(position(), 2);

        moveTo(20);
        view().calls.clear();
        click(w->btnStepForward);   // at Max: nothing
        click(w->btnStepBackward);
        QCOMPARE(view().calls, (Calls{{Call::Plot, 19}, {Call::Thumbnail, 19}}));   // added, not cleared
    }

    void positioningByHandShowsExactlyThatPacket()
    {
        moveTo(7);
        QCOMPARE(view().calls, (Calls{{Call::Clear, 0}, {Call::Plot, 7}, {Call::Thumbnail, 7}}));
        QCOMPARE(counter(), QString("7"));

        // A thumb drag, untracked so that only sliderMoved reports it: every
        // intermediate position is a scroll event, the views show the last one only.
        view().calls.clear();
        w->scrPacket->setTracking(false);
        w->scrPacket->setSliderDown(true);
        for (int p : {10, 12, 15}) w->scrPacket->setSliderPosition(p);
        settle();
        QCOMPARE(view().calls, (Calls{{Call::Clear, 0}, {Call::Plot, 15}, {Call::Thumbnail, 15}}));
        QCOMPARE(counter(), QString("15"));
        QCOMPARE(state(), QString("off Stop"));   // positioning does not start playback

        forget();
        click(w->btnClearVisualization);
        for (int k = 1; k <= 7; ++k) QCOMPARE(view(k).calls, (Calls{{Call::Clear, 0}}));
    }

    void intervalForSpeed_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::newRow("3") << 3 << 333;
        QTest::newRow("6") << 6 << 167;
        QTest::newRow("400, half down to even") << 400 << 2;
        QTest::newRow("1000") << 1000 << 1;
        QTest::newRow("10") << 10 << 100;
        QTest::newRow("1") << 1 << 1000;
    }
    void intervalForSpeed()
    {
        QFETCH(int, speed);
        QFETCH(int, interval);
        click(w->btnPlay);
        w->spnSpeed->setValue(speed);
        QCOMPARE(w->tmrPlayTimer->interval(), interval);
        QCOMPARE(w->lblCurrentSpeed->text(), QString::number(speed));
        QCOMPARE(state(), QString("on Play"));   // a new speed while playing keeps playing
    }
};

QTEST_MAIN(TestPlayback)
#include "test_playback.moc"
