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

    // A row's controls are clicked in turn; "tick" is one timer tick, "end" puts
    // the position on the last packet and forgets what the views recorded.
    // The views are cleared by Play after Stop only; every shown view draws.
    void transitions_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("expectedState");
        QTest::addColumn<int>("expectedPosition");
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<int>("clears");
        QTest::newRow("as loaded") << "" << "off Stop" << 1 << "" << 0;
        QTest::newRow("play from Stop clears") << "btnPlay tick tick" << "on Play" << 3 << "2 3" << 1;
        QTest::newRow("pause") << "btnPlay tick btnPause" << "off Play Pause" << 2 << "2" << 1;
        QTest::newRow("pause raised resumes") << "btnPlay tick btnPause btnPause tick" << "on Play" << 3 << "2 3" << 1;
        QTest::newRow("play while paused resumes, Play down") << "btnPlay btnPause btnPlay" << "on Play" << 1 << "" << 1;
        QTest::newRow("stop rewinds") << "btnPlay tick btnStop" << "off Stop" << 1 << "2" << 1;
        QTest::newRow("stop from paused") << "btnPlay tick btnPause btnStop" << "off Stop" << 1 << "2" << 1;
        QTest::newRow("stop then play clears again") << "btnPlay btnStop btnPlay" << "on Play" << 1 << "" << 2;
        QTest::newRow("pause with nothing playing pops up") << "btnPause" << "off Stop" << 1 << "" << 0;
        QTest::newRow("play pressed again keeps playing, Play down") << "btnPlay btnPlay tick" << "on Play" << 2 << "2" << 1;
        QTest::newRow("end, Loop up: all up, rewound") << "btnPlay end tick" << "off" << 1 << "" << 0;
        QTest::newRow("end, Loop down: wraps") << "tglLoop btnPlay end tick" << "on Play" << 1 << "1" << 0;
        QTest::newRow("play after the end keeps the views") << "btnPlay end tick btnPlay" << "on Play" << 1 << "" << 0;
        QTest::newRow("steps at Min") << "btnStepBackward btnStepForward" << "off Stop" << 2 << "2" << 0;
        QTest::newRow("steps keep Paused") << "btnPlay btnPause btnStepForward btnStepBackward" << "off Play Pause" << 1
                                           << "2 1" << 1;
        QTest::newRow("steps at Max add") << "end btnStepForward btnStepBackward" << "off Stop" << 19 << "19" << 0;
    }
    void transitions()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, expectedState);
        QFETCH(int, expectedPosition);
        QFETCH(QString, drawn);
        QFETCH(int, clears);
        for (const QString& c : clicks.split(' ', Qt::SkipEmptyParts)) {
            if (c == "tick") w->tick();
            else if (c == "end") { moveTo(20); views.forget(); }
            else click(w->findChild<QPushButton*>(c));
        }
        QCOMPARE(state(), expectedState);
        QCOMPARE(position(), expectedPosition);
        QCOMPARE(counter(), QString::number(expectedPosition));
        QCOMPARE(view().count(Call::Clear), clears);
        QList<int32_t> packets;
        for (const QString& n : drawn.split(' ', Qt::SkipEmptyParts)) packets << n.toInt();
        QCOMPARE(view().plotted(), packets);
        QCOMPARE(view().count(Call::Thumbnail), packets.size());
        QCOMPARE(view(7).plotted(), packets);
    }

    void positioningByHandShowsExactlyThatPacket()
    {
        moveTo(7);
        QCOMPARE(view().calls, (Calls{{Call::Clear, 0}, {Call::Plot, 7}, {Call::Thumbnail, 7}}));
        QCOMPARE(counter(), QString("7"));

        // A thumb drag, untracked so that only sliderMoved reports it: every
        // intermediate position is a scroll event, the views show the last one only.
        views.forget();
        w->scrPacket->setTracking(false);
        w->scrPacket->setSliderDown(true);
        for (int p : {10, 12, 15}) w->scrPacket->setSliderPosition(p);
        settle();
        QCOMPARE(view().calls, (Calls{{Call::Clear, 0}, {Call::Plot, 15}, {Call::Thumbnail, 15}}));
        QCOMPARE(counter(), QString("15"));
        QCOMPARE(state(), QString("off Stop"));   // positioning does not start playback

        views.forget();
        click(w->btnClearVisualization);
        for (int k = 1; k <= 7; ++k) QCOMPARE(view(k).calls, (Calls{{Call::Clear, 0}}));
    }

    void intervalForSpeed_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::newRow("1") << 1 << 1000;
        QTest::newRow("6, rounded") << 6 << 167;
        QTest::newRow("400, half down to even") << 400 << 2;
        QTest::newRow("1000") << 1000 << 1;
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
