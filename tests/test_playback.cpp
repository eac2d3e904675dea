// The playback window driven like a user: states and their transitions, the
// "locked" tags, ticks, steps, positioning by hand and the speed.
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "platform/SpinButton.h"
#include "support/PlaybackFixture.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

using Call = RecordingView::Call;

class TestPlayback : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    std::unique_ptr<RecordingViews> views;
    FrmFilters* w = nullptr;

    RecordingView& view() { return (*views)[1]; }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    bool playing() const { return w->tmrPlayTimer->isActive(); }
    int position() const { return w->scrPacket->value(); }
    QString counter() const { return w->lblPacketCounter->text(); }
    // Stopped, Playing or Paused exactly as the toggles and the timer make them.
    bool isStopped() const { return !playing() && !w->btnPlay->isChecked() && !w->btnPause->isChecked(); }
    bool isPlaying() const { return playing() && w->btnPlay->isChecked() && !w->btnPause->isChecked(); }
    bool isPaused() const { return !playing() && w->btnPlay->isChecked() && w->btnPause->isChecked(); }

private slots:
    void init()
    {
        playback::emptyStore();
        playback::addPackets(20);
        w = playback::freshWindow();
        views = std::make_unique<RecordingViews>();
    }
    void cleanup()
    {
        views.reset();
        frmFilters()->close();
    }

    void loadEndsStopped()
    {
        QVERIFY(isStopped());
        QVERIFY(w->btnStop->isChecked());
        QVERIFY(!w->tglLoop->isChecked());
        QCOMPARE(position(), 1);
        QCOMPARE(counter(), QString("1"));
        QCOMPARE(w->scrPacket->minimum(), 1);
        QCOMPARE(w->scrPacket->maximum(), 20);
        QCOMPARE(w->tmrPlayTimer->timerType(), Qt::PreciseTimer);
    }

    void playPauseResumeStop()
    {
        click(w->btnPlay);
        QVERIFY(isPlaying());
        QVERIFY(!w->btnStop->isChecked());
        QCOMPARE(view().count(Call::Clear), 1);   // Stop was down: the views start empty
        w->tick();
        w->tick();
        QCOMPARE(position(), 3);

        click(w->btnPause);
        QVERIFY(isPaused());
        QCOMPARE(position(), 3);

        click(w->btnPause);   // raised: resume
        QVERIFY(isPlaying());
        QCOMPARE(position(), 3);

        click(w->btnPause);
        click(w->btnPlay);   // Play while paused resumes and raises Pause
        QVERIFY(playing());
        QVERIFY(!w->btnPause->isChecked());

        view().forget();
        click(w->btnStop);
        QVERIFY(isStopped());
        QVERIFY(w->btnStop->isChecked());
        QCOMPARE(position(), 1);
        QCOMPARE(counter(), QString("1"));
        QVERIFY(view().calls.isEmpty());   // Stop neither draws nor clears

        click(w->btnPlay);   // Stop then Play clears
        QCOMPARE(view().count(Call::Clear), 1);
        click(w->btnPause);
        click(w->btnStop);   // from Paused
        QVERIFY(isStopped());
    }

    void pauseWhileStoppedPopsBackUp()
    {
        click(w->btnPause);
        QVERIFY(!w->btnPause->isChecked());
        QVERIFY(isStopped());
    }

    void raisingPlayByHandKeepsPlaying()
    {
        click(w->btnPlay);
        click(w->btnPlay);   // up again
        QVERIFY(!w->btnPlay->isChecked());
        QVERIFY(playing());
    }

    void lockedTagsSilenceTheirHandlers()
    {
        w->btnPlayTag = "locked";
        w->btnPlay->setChecked(true);
        QVERIFY(!playing());
        QVERIFY(w->btnStop->isChecked());
        w->btnPlayTag.clear();

        w->scrPacketTag = "locked";
        w->scrPacket->setValue(9);
        playback::settle();
        QVERIFY(view().calls.isEmpty());
        QCOMPARE(counter(), QString("1"));
        w->scrPacketTag.clear();

        w->btnStopTag = "locked";
        w->btnStop->setChecked(false);
        QCOMPARE(position(), 9);   // no Stop ran
    }

    void ticksDrawOnePacketEach()
    {
        click(w->btnPlay);
        view().forget();
        w->tick();
        w->tick();
        QCOMPARE(view().plotted(), (QList<int32_t>{2, 3}));
        QCOMPARE(view().count(Call::Thumbnail), 2);
        QCOMPARE(counter(), QString("3"));
        QCOMPARE((*views)[7].plotted(), (QList<int32_t>{2, 3}));   // every shown view draws
    }

    void naturalEndStopsWithoutPressingStop()
    {
        click(w->btnPlay);
        w->scrPacket->setValue(20);
        playback::settle();
        view().forget();
        w->tick();
        QVERIFY(isStopped());
        QVERIFY(!w->btnStop->isChecked());   // all three toggles up
        QCOMPARE(position(), 1);
        QCOMPARE(counter(), QString("1"));
        QVERIFY(view().calls.isEmpty());   // rewound, nothing drawn

        click(w->btnPlay);   // Stop never pressed: the views keep what they show
        QCOMPARE(view().count(Call::Clear), 0);
        QVERIFY(isPlaying());
    }

    void loopWrapsToTheFirstPacketKeepingTheViews()
    {
        click(w->tglLoop);
        QVERIFY(w->tglLoop->isChecked());
        click(w->btnPlay);
        w->scrPacket->setValue(20);
        playback::settle();
        view().forget();
        w->tick();
        QVERIFY(isPlaying());
        QCOMPARE(position(), 1);
        QCOMPARE(counter(), QString("1"));
        QCOMPARE(view().calls, (QList<RecordingView::Entry>{{Call::Plot, 1}, {Call::Thumbnail, 1}}));
    }

    void lateTicksAreMadeUpWithinLimits()
    {
        playback::addPackets(80);
        click(w->btnMaxSpeed);
        click(w->btnPlay);
        QTest::qSleep(30);   // the event loop is held up: no tick arrives meanwhile
        w->timerFired();
        QVERIFY2(position() >= 25 && position() <= 52, qPrintable(QString::number(position())));

        click(w->btnStop);
        click(w->btnPlay);
        QTest::qSleep(200);   // a long stall: only the last 50 ticks are made up
        w->timerFired();
        // 1 + 1 + 50, give or take the real ticks that a loaded machine lets in at
        // yield points (each is counted as made up): far fewer than the 200 due.
        QVERIFY2(position() >= 45 && position() <= 56, qPrintable(QString::number(position())));
        QVERIFY(isPlaying());
    }

    void stepsInEveryStateAndAtTheEnds()
    {
        click(w->btnStepBackward);   // at Min
        QVERIFY(view().calls.isEmpty());
        QCOMPARE(position(), 1);

        click(w->btnStepForward);
        QCOMPARE(view().plotted(), (QList<int32_t>{2}));
        QCOMPARE(counter(), QString("2"));
        QVERIFY(isStopped());

        click(w->btnPlay);
        click(w->btnStepForward);
        QVERIFY(isPlaying());
        click(w->btnPause);
        click(w->btnStepBackward);
        QVERIFY(isPaused());
        QCOMPARE(position(), 2);

        w->scrPacket->setValue(20);
        playback::settle();
        view().forget();
        click(w->btnStepForward);   // at Max
        QVERIFY(view().calls.isEmpty());
        QCOMPARE(position(), 20);
        click(w->btnStepBackward);
        QCOMPARE(view().plotted(), (QList<int32_t>{19}));
        QVERIFY(view().count(Call::Clear) == 0);   // a step adds to the views
    }

    void positioningByHandShowsExactlyThatPacket()
    {
        w->scrPacket->setValue(7);
        playback::settle();
        QCOMPARE(view().calls, (QList<RecordingView::Entry>{{Call::Clear, 0}, {Call::Plot, 7}, {Call::Thumbnail, 7}}));
        QCOMPARE(counter(), QString("7"));

        view().forget();
        w->scrPacket->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        playback::settle();
        QCOMPARE(view().calls, (QList<RecordingView::Entry>{{Call::Clear, 0}, {Call::Plot, 8}, {Call::Thumbnail, 8}}));

        // A thumb drag: every intermediate position is a scroll event; the
        // views end up showing the last one only.
        view().forget();
        w->scrPacket->setSliderDown(true);
        for (int p : {10, 12, 15}) w->scrPacket->setSliderPosition(p);
        w->scrPacket->setSliderDown(false);
        playback::settle();
        QCOMPARE(view().plotted(), (QList<int32_t>{15}));
        QCOMPARE(view().calls.first().call, Call::Clear);
        QCOMPARE(counter(), QString("15"));
        QVERIFY(isStopped());   // positioning does not start playback
    }

    void clearScreenClearsEveryView()
    {
        click(w->btnClearVisualization);
        for (int k = 1; k <= 7; ++k) QCOMPARE((*views)[k].count(Call::Clear), 1);
    }

    void intervalForSpeed_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::newRow("1") << 1 << 1000;
        QTest::newRow("3") << 3 << 333;
        QTest::newRow("6") << 6 << 167;
        QTest::newRow("10") << 10 << 100;
        QTest::newRow("16, half down to even") << 16 << 62;
        QTest::newRow("80, half down to even") << 80 << 12;
        QTest::newRow("400, half down to even") << 400 << 2;
        QTest::newRow("1000") << 1000 << 1;
    }
    void intervalForSpeed()
    {
        QFETCH(int, speed);
        QFETCH(int, interval);
        w->spnSpeed->setValue(speed);
        QCOMPARE(w->tmrPlayTimer->interval(), interval);
        QCOMPARE(w->lblCurrentSpeed->text(), QString::number(speed));
    }

    void speedButtonsAndSpinner()
    {
        QCOMPARE(w->spnSpeed->value(), 10);
        QCOMPARE(w->tmrPlayTimer->interval(), 100);
        click(w->btnMaxSpeed);
        QCOMPARE(w->lblCurrentSpeed->text(), QString("1000"));
        QTest::mouseClick(w->spnSpeed->upButton(), Qt::LeftButton);   // stays at the maximum
        QCOMPARE(w->spnSpeed->value(), 1000);
        QTest::mouseClick(w->spnSpeed->downButton(), Qt::LeftButton);
        QCOMPARE(w->lblCurrentSpeed->text(), QString("999"));
        click(w->btnMinSpeed);
        QCOMPARE(w->tmrPlayTimer->interval(), 1000);
        QTest::mouseClick(w->spnSpeed->downButton(), Qt::LeftButton);   // stays at the minimum
        QCOMPARE(w->spnSpeed->value(), 1);

        w->spnSpeed->setFocus();
        QTest::keyClick(w->spnSpeed, Qt::Key_PageUp);
        QTest::keyClick(w->spnSpeed, Qt::Key_Up);
        QCOMPARE(w->lblCurrentSpeed->text(), QString("12"));

        click(w->btnPlay);   // a new speed while playing keeps playing
        click(w->btnMaxSpeed);
        QVERIFY(isPlaying());
        QCOMPARE(w->tmrPlayTimer->interval(), 1);
    }

};

QTEST_MAIN(TestPlayback)
#include "test_playback.moc"
