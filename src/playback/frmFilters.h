#pragma once
// The playback window ("nivora: PVR"): plays the stored packets back like a
// video recorder. Its scroll bar is the playback position; the store keeps
// its range and counter up to date.
//
// The three states are not kept in a variable; the timer and the toggles make them:
//   Stopped  timer off, Play up,   Pause up,   position at the oldest held packet
//   Playing  timer on,  Play down, Pause up,   one packet further per tick
//   Paused   timer off, Play down, Pause down, position kept
// A handler that changes Play, Pause, Stop or the scroll bar itself sets that
// control's tag to "locked" around the change, and the control's own change
// handler ignores changes while its tag reads "locked".
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

#include "ui/FormWindow.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;
class BufferRangeSlider;
class SpinButton;

class FrmFilters : public FormWindow {
    Q_OBJECT
public:
    FrmFilters();

    QPushButton* btnPlay;
    QPushButton* btnPause;
    QPushButton* btnStop;
    QString btnPlayTag;
    QString btnPauseTag;
    QString btnStopTag;
    QPushButton* tglLoop;
    QPushButton* btnStepBackward;
    QPushButton* btnStepForward;

    QPushButton* btnMinSpeed;
    QPushButton* btnMaxSpeed;
    SpinButton* spnSpeed;           // packets per second, 1..1000
    QLabel* lblSpeed;
    QLabel* lblCurrentSpeed;
    QPushButton* tglAsCaptured;     // down: at the capture's own pace, scaled by cmbPaceFactor
    QComboBox* cmbPaceFactor;       // x1, x10, x100, /10
    QLabel* lblPace;                // a captured gap that was shortened
    QTimer* tmrPlayTimer;
    QTimer* tmrMatching;   // counts the matching packets again once a burst of stored packets has passed

    QScrollBar* scrPacket;          // the playback position; its range is the held packets
    QString scrPacketTag;
    QLabel* lblPacketCounter;
    QLabel* lblPacketTime;          // when the packet at the position was captured
    QLabel* lblPacketMin;
    QLabel* lblPacketMax;

    QLabel* lblBufferLabel;
    BufferRangeSlider* picBufferSlider;
    QLabel* Label1;
    QLabel* lblBufferRange;
    QLabel* lblRangeMin;
    QLabel* lblRangeMax;

    QPushButton* btnClearVisualization;
    QPushButton* btnScreenShot;
    QLabel* lblScreenshots;   // how many screenshots went where
    QLabel* lblFileWindow;    // the file's frame numbers of the window held, for a file larger than the store
    QLabel* lblShowOnlyMatching;   // how many held packets the "Show only" expression matches
    QProgressBar* pbDraw;     // a long drawing's progress; hidden otherwise

    // Written by the store: the counter after it was emptied, and after every
    // change the newest packet number and the oldest one still held.
    void showPacketCounter(int64_t count);
    void showPacketRange(int64_t count, int64_t first);
    // Counts the held packets the "Show only" expression matches: "matching 1,204 of 30,000"; blank without one.
    void showShowOnlyMatching();
    // A long drawing has drawn `done` of `total` packets; 0 of 0: it ended.
    void showDrawProgress(int64_t done, int64_t total);
    // A packet chosen in a view: the position moves to it, nothing is drawn;
    // playing goes on from there. A packet outside the held range changes nothing.
    void showChosenPacket(int64_t packet);

    // After a load, an append and a capture's start and stop: Stopped at the
    // oldest held packet, both thumbs at the ends and the buffer range, its
    // labels and the position's labels all showing the held packets.
    void initFilters();
    // The first filter stage, asked once per drawn packet: accepts every packet.
    bool filter(int64_t packet) const { (void)packet; return true; }

    // One tick: the next packet, the wrap or the end (tests drive playback
    // through it without waiting).
    void tick();
    // tmrPlayTimer's handler: the tick, and any the event loop delivered late.
    void timerFired();
    // The clock playback as captured is paced by, in nanoseconds; tests put a fake one in.
    std::function<int64_t()> paceClock;

protected:
    void unload() override;
    // The player's keys: Space plays and pauses, Left and Right step, Home
    // stops, Enter presses the focused button.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool playerKey(QKeyEvent* e);
    void startPlaying();
    void playAction();
    void pauseChanged();
    void stopAction();
    void stepBy(int delta);
    // The next position for a tick, or 0 when playback has ended.
    int32_t advance();
    // Moves the scroll bar itself (locked) and shows the position in the counter.
    int32_t moveTo(int32_t position);
    void showPositionByHand(int value);
    void drawPositionByHand();
    void speedChanged(int value);
    // As captured: the packets whose time has come, then the timer set for the next.
    void paceAsCaptured();
    // When the packet after `position` falls due, counted from the one at it.
    int64_t waitAfter(int32_t position);
    void showPacketTime(int64_t position);
    void applyBufferRange(int minPos, int maxPos, int usable);
    // The buffer range and its end labels while it spans every held packet.
    void showWholeRange();

    bool holdsPackets_ = false;     // false: the bar sits disabled at 1..1
    bool atStart_ = false;          // Stopped: the next tick draws the position itself, the first held packet
    bool wholeRange_ = true;        // the buffer range is every held packet, and grows with them
    QElapsedTimer playClock_;       // since the timer last started
    int64_t ticksDone_ = 0;         // timer ticks handled since then
    bool ticking_ = false;          // a tick's packet is being drawn
    bool tickWaiting_ = false;      // a tick came meanwhile
    bool positionPending_ = false;  // a position set by hand waits to be drawn
    int32_t positionWanted_ = 0;
    int64_t paceDueNs_ = 0;         // on paceClock: when the next packet is due as captured
};

FrmFilters* frmFilters();
