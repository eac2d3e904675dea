#include "frmFilters.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QAbstractButton>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <limits>

#include "core/accessors.h"
#include "core/heldFile.h"
#include "core/modLibrary.h"
#include "core/showOnly.h"
#include "platform/twips.h"
#include "playback/BufferRangeSlider.h"
#include "playback/capturePacing.h"
#include "platform/SpinButton.h"
#include "playback/modScreenShots.h"
#include "playback/modVisualize.h"
#include "playback/playbackMath.h"
#include "ui/focusFrame.h"

namespace {
QPointer<FrmFilters> instance;

constexpr int kWindowW = 520, kWindowH = 328;
// A load or capture stores packet by packet: the matching ones are counted at most this often.
constexpr int kMatchingCountMs = 100;
constexpr int kTrackW = 300;
constexpr int kTrackH = twips(310);
// After a stall, ticks are made up for at most this long; the rest are dropped.
constexpr int64_t kMakeUpNs = 100'000'000;
// Packets played as captured in one go before other events get their turn:
// packets captured at the same moment are all due at once, and a whole ring
// of them would hold the program for seconds.
constexpr int kMostPacedAtOnce = 64;

// "locked" for the length of one programmatic change; what the tag read
// before comes back afterwards, so a nested change cannot unlock early.
class Locked {
public:
    explicit Locked(QString& tag) : tag_(tag), before_(tag) { tag_ = "locked"; }
    ~Locked() { tag_ = before_; }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    QString& tag_;
    QString before_;
};

void setLocked(QPushButton* toggle, QString& tag, bool down)
{
    Locked lock(tag);
    toggle->setChecked(down);
}

QString rangeText(int64_t first, int64_t last) { return QString("%1 - %2").arg(first).arg(last); }
}

FrmFilters* frmFilters() { return formInstance(instance); }

FrmFilters::FrmFilters() : FormWindow("frmFilters", "nivora: PVR", "ToolFilters")
{
    setFixedSize(kWindowW, kWindowH);
    const QFont courier("Courier New");
    auto label = [&](const char* name, const QString& text, const QRect& at, bool fixedPitch = false,
                     Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(at);
        l->setAlignment(align);
        if (fixedPitch) l->setFont(courier);
        return l;
    };
    auto button = [&](const char* name, const QString& caption, const QString& tip, const QRect& at,
                      bool toggle = false) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setGeometry(at);
        b->setCheckable(toggle);
        return b;
    };

    // Transport row. Widgets are made in reading order, which is also the Tab order.
    btnPlay = button("btnPlay", "Play", "Playback packets", {10, 10, 72, 28}, true);
    btnPause = button("btnPause", "Pause", "Pause playback", {86, 10, 72, 28}, true);
    btnStop = button("btnStop", "Stop", "Stop playback", {162, 10, 72, 28}, true);
    btnStepBackward = button("btnStepBackward", "<<", "Step Backward", {252, 10, 44, 28});
    btnStepForward = button("btnStepForward", ">>", "Step Forward", {300, 10, 44, 28});
    tglLoop = button("tglLoop", "Loop", "Toggle looping playback", {362, 10, 72, 28}, true);

    // Position.
    lblPacketMin = label("lblPacketMin", "1", {10, 50, 80, 20}, true, Qt::AlignRight | Qt::AlignVCenter);
    scrPacket = new QScrollBar(Qt::Horizontal, this);
    scrPacket->setObjectName("scrPacket");
    scrPacket->setGeometry(96, 50, 320, 20);
    scrPacket->setFocusPolicy(Qt::StrongFocus);
    lblPacketMax = label("lblPacketMax", "Max", {422, 50, 90, 20}, true);
    lblPacketCounter = label("lblPacketCounter", "0", {96, 72, 120, 18}, true, Qt::AlignCenter);
    lblPacketTime = label("lblPacketTime", "", {222, 72, 290, 18}, true);

    // Speed.
    lblSpeed = label("lblSpeed", "Max Speed (pkts/sec)", {10, 104, 150, 28});
    btnMinSpeed = button("btnMinSpeed", "Min", "Playback at Minimum Speed", {164, 104, 48, 28});
    spnSpeed = new SpinButton(1, 1000, 10, this);
    spnSpeed->setObjectName("spnSpeed");
    spnSpeed->setToolTip("Set Playback Speed");
    spnSpeed->setGeometry(218, 100, 22, 36);
    lblCurrentSpeed = label("lblCurrentSpeed", "10", {244, 106, 52, 24}, true, Qt::AlignCenter);
    lblCurrentSpeed->setFrameShape(QFrame::Panel);
    lblCurrentSpeed->setFrameShadow(QFrame::Sunken);
    btnMaxSpeed = button("btnMaxSpeed", "Max", "Playback at Max Speed", {302, 104, 48, 28});
    tglAsCaptured = button("tglAsCaptured", "&As captured",
                           "Play at the pace the packets were captured (packets without a time at the speed set)",
                           {356, 104, 88, 28}, true);
    cmbPaceFactor = new QComboBox(this);
    cmbPaceFactor->setObjectName("cmbPaceFactor");
    cmbPaceFactor->setToolTip("How many times faster than captured");
    cmbPaceFactor->setGeometry(448, 104, 64, 28);
    for (const PaceFactor& f : kPaceFactors) cmbPaceFactor->addItem(QString::fromUtf8(f.caption));
    lblPace = label("lblPace", "", {10, 132, 502, 16}, false, Qt::AlignRight | Qt::AlignVCenter);
    tmrPlayTimer = new QTimer(this);
    tmrPlayTimer->setObjectName("tmrPlayTimer");
    tmrPlayTimer->setTimerType(Qt::PreciseTimer);   // 1 ms must really mean 1000 ticks a second

    // Buffer range.
    lblBufferLabel = label("lblBufferLabel", "Buffer", {10, 148, 56, 20}, true);
    lblRangeMin = label("lblRangeMin", "Min", {66, 148, 44, 20}, false, Qt::AlignRight | Qt::AlignVCenter);
    picBufferSlider = new BufferRangeSlider(kTrackW, kTrackH, this);
    picBufferSlider->move(116, 148 + (20 - kTrackH) / 2);
    lblRangeMax = label("lblRangeMax", "Max", {422, 148, 90, 20});
    Label1 = label("Label1", "Buffer Range:  ", {116, 174, 100, 20});
    lblBufferRange = label("lblBufferRange", "", {216, 174, 200, 20});

    btnClearVisualization = button("btnClearVisualization", "Clear Screen", "Clears all visualization windows",
                                   {10, 208, 110, 28});
    btnScreenShot = button("btnScreenShot", "Screenshots", "Save screenshots to application directory",
                           {126, 208, 110, 28});
    pbDraw = new QProgressBar(this);
    pbDraw->setObjectName("pbDraw");
    pbDraw->setGeometry(246, 212, 264, 20);
    pbDraw->setFormat("Drawing %v of %m");
    pbDraw->setToolTip("Stop or Escape ends the drawing");
    pbDraw->hide();
    // A row of its own: a billion-frame file's numbers are long, and the drawing's bar takes the row above.
    lblFileWindow = label("lblFileWindow", "", {10, 240, 502, 20}, false, Qt::AlignRight | Qt::AlignVCenter);
    lblFileWindow->setToolTip("The frames of the file that the player holds");
    lblShowOnlyMatching = label("lblShowOnlyMatching", "", {10, 264, 502, 20});
    lblShowOnlyMatching->setToolTip("How many of the held packets the filters window's Show only expression matches");
    tmrMatching = new QTimer(this);
    tmrMatching->setObjectName("tmrMatching");
    tmrMatching->setSingleShot(true);
    tmrMatching->setInterval(kMatchingCountMs);
    connect(tmrMatching, &QTimer::timeout, this, &FrmFilters::showShowOnlyMatching);
    // Where the last screenshots went (or why there were none).
    lblScreenshots = label("lblScreenshots", "", {10, 286, 500, 36});
    lblScreenshots->setWordWrap(true);
    lblScreenshots->setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(btnPlay, &QPushButton::toggled, this, [this] {
        if (btnPlayTag != "locked") playAction();   // whichever way Play moved: it ends down
    });
    connect(btnPause, &QPushButton::toggled, this, &FrmFilters::pauseChanged);
    connect(btnStop, &QPushButton::toggled, this, [this] {
        if (btnStopTag != "locked") stopAction();   // whichever way Stop moved
    });
    // Only the user's Stop ends a drawing (the window's own start presses it too).
    connect(btnStop, &QPushButton::clicked, this, [] { stopDrawing(); });
    connect(btnStepForward, &QPushButton::clicked, this, [this] { stepBy(1); });
    connect(btnStepBackward, &QPushButton::clicked, this, [this] { stepBy(-1); });
    connect(btnMinSpeed, &QPushButton::clicked, this, [this] { spnSpeed->setValue(spnSpeed->minimum()); });
    connect(btnMaxSpeed, &QPushButton::clicked, this, [this] { spnSpeed->setValue(spnSpeed->maximum()); });
    connect(spnSpeed, &SpinButton::valueChanged, this, &FrmFilters::speedChanged);
    connect(tmrPlayTimer, &QTimer::timeout, this, &FrmFilters::timerFired);
    // A change of pace starts counting afresh from the packet shown.
    connect(tglAsCaptured, &QPushButton::toggled, this, [this] { speedChanged(spnSpeed->value()); });
    connect(cmbPaceFactor, &QComboBox::currentIndexChanged, this, [this] { speedChanged(spnSpeed->value()); });
    paceClock = [] {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return int64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
    };
    connect(scrPacket, &QScrollBar::valueChanged, this, [this](int value) {
        if (scrPacketTag != "locked") showPositionByHand(value);
    });
    connect(scrPacket, &QScrollBar::sliderMoved, this, &FrmFilters::showPositionByHand);
    // Queued: the range is drawn from the event loop, not from inside the
    // thumb's mouse handler, which must not find itself closed under it.
    connect(picBufferSlider, &BufferRangeSlider::rangeChosen, this, &FrmFilters::applyBufferRange,
            Qt::QueuedConnection);
    connect(btnClearVisualization, &QPushButton::clicked, this, [] { clearVisualizations(); });
    connect(btnScreenShot, &QPushButton::clicked, this, [this] {
        const QPointer<FrmFilters> self(this);
        const QString line = saveScreenshots();   // a message box lets events run meanwhile
        if (self) lblScreenshots->setText(line);
    });

    addFocusFrame(scrPacket);
    // The player's keys work wherever the focus is in the window.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

    // Load: speed, the range the store holds now (a reopened window must not
    // play packets it does not have), then Stop pressed, so it starts Stopped.
    speedChanged(spnSpeed->value());
    showPacketRange(getPacketCount(), firstHeldPacket());
    if (getPacketCount() == 0) lblPacketMax->setText("Max");   // nothing counted yet
    showShowOnlyMatching();
    btnStop->setChecked(true);
}

void FrmFilters::unload() { tmrPlayTimer->stop(); }

bool FrmFilters::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress && playerKey(static_cast<QKeyEvent*>(e))) return true;
    return FormWindow::eventFilter(watched, e);
}

void FrmFilters::keyPressEvent(QKeyEvent* e)
{
    if (!playerKey(e)) FormWindow::keyPressEvent(e);
}

bool FrmFilters::playerKey(QKeyEvent* e)
{
    if (e->modifiers() & ~Qt::KeypadModifier) return false;
    QWidget* focus = focusWidget();
    const bool onSpinner = focus && (focus == spnSpeed || spnSpeed->isAncestorOf(focus));
    switch (e->key()) {
    case Qt::Key_Space:   // wherever the focus is, a button included
        if (e->isAutoRepeat()) return true;
        if (btnPlay->isChecked()) btnPause->click();   // pause, or resume when paused
        else btnPlay->click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:   // Enter presses the focused button instead
        if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
            button->click();
            return true;
        }
        return false;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (focus && focus->parentWidget() == picBufferSlider) return false;   // the thumbs move with them
        stepBy(e->key() == Qt::Key_Right ? 1 : -1);
        return true;
    case Qt::Key_Home:
        if (onSpinner) return false;   // the spinner's slowest speed
        if (btnStop->isChecked()) {
            stopDrawing();
            stopAction();
        } else {
            btnStop->click();
        }
        return true;
    default: return false;
    }
}

void FrmFilters::showPacketCounter(int64_t count)
{
    lblPacketCounter->setText(QString::number(count));
    showPacketTime(0);
}

void FrmFilters::showPacketTime(int64_t position)
{
    const bool held = position >= firstHeldPacket() && position <= getPacketCount() && position > 0;
    lblPacketTime->setText(held ? QString::fromStdString(localTimeText(getCaptureTime(position))) : QString());
}

void FrmFilters::showPacketRange(int64_t count, int64_t first)
{
    lblPacketCounter->setText(QString::number(count));
    if (!lblPacketTime->text().isEmpty()) lblPacketTime->clear();   // the counter shows a count, not a position
    lblPacketMax->setText(QString::number(count));
    Locked lock(scrPacketTag);
    // The bar cannot span 1..0: an empty store leaves it at 1..1, disabled,
    // and nothing that reads the position draws while it is empty. Past
    // 2147483647 packets the bar cannot point at them: it sits disabled the
    // same way, the player holds still and the labels go on counting.
    holdsPackets_ = count >= first && count <= std::numeric_limits<int>::max();
    if (holdsPackets_) scrPacket->setRange(first, count);
    else scrPacket->setRange(1, 1);
    scrPacket->setEnabled(holdsPackets_);
    lblPacketMin->setText(QString::number(first));
    lblFileWindow->setText(QString::fromStdString(heldFile().caption()));
    if (wholeRange_) showWholeRange();
    if (!showOnlyExpression().empty() && !tmrMatching->isActive()) tmrMatching->start();
}

void FrmFilters::showShowOnlyMatching()
{
    tmrMatching->stop();
    if (showOnlyExpression().empty()) {
        lblShowOnlyMatching->clear();
        return;
    }
    const int64_t first = firstHeldPacket(), last = getPacketCount();
    const QLocale grouped(QLocale::English);
    lblShowOnlyMatching->setText(QString("matching %1 of %2")
                                     .arg(grouped.toString(qlonglong(countShowOnlyMatches(first, last))),
                                          grouped.toString(qlonglong(last - first + 1))));
}

void FrmFilters::showWholeRange()
{
    const int64_t first = firstHeldPacket(), count = getPacketCount();
    lblBufferRange->setText(rangeText(first, count));
    lblRangeMin->setText(QString::number(first));
    lblRangeMax->setText(QString::number(count));
}

void FrmFilters::showDrawProgress(int64_t done, int64_t total)
{
    pbDraw->setVisible(total > 0);
    // The bar counts in int: a capture's backlog beyond that shows as a share.
    const int64_t scale = std::max<int64_t>(1, total / std::numeric_limits<int>::max() + 1);
    pbDraw->setRange(0, int(total / scale));
    pbDraw->setValue(int(done / scale));
}

void FrmFilters::initFilters()
{
    // One consistent state after every load and capture start or stop:
    // Stopped on the oldest held packet with Stop down, so the next Play
    // starts from clear views; the buffer range covering them all.
    stopAction();
    setLocked(btnStop, btnStopTag, true);
    picBufferSlider->resetThumbs();
    wholeRange_ = true;
    showWholeRange();
}

void FrmFilters::playAction()
{
    if (btnStop->isChecked()) {
        setLocked(btnStop, btnStopTag, false);
        clearVisualizations();
    }
    if (btnPause->isChecked()) setLocked(btnPause, btnPauseTag, false);
    // Playing shows Play down: a press on Play while it is down keeps it down,
    // so Pause keeps working after any number of resumes.
    setLocked(btnPlay, btnPlayTag, true);
    if (!tmrPlayTimer->isActive()) startPlaying();
}

void FrmFilters::startPlaying()
{
    tmrPlayTimer->start();
    playClock_.start();
    ticksDone_ = 0;
    lblPace->clear();
    if (tglAsCaptured->isChecked()) {
        // From Stopped the first held packet is shown at once; otherwise the next waits its gap.
        paceDueNs_ = paceClock() + (atStart_ ? 0 : waitAfter(scrPacket->value()));
        paceAsCaptured();
    }
}

void FrmFilters::pauseChanged()
{
    if (btnPauseTag == "locked") return;
    if (!btnPlay->isChecked()) {
        btnPause->setChecked(false);   // nothing plays, so nothing can pause
        return;
    }
    if (btnPause->isChecked()) tmrPlayTimer->stop();
    else playAction();   // resume
}

void FrmFilters::stopAction()
{
    tmrPlayTimer->stop();
    {
        Locked lock(scrPacketTag);
        scrPacket->setValue(scrPacket->minimum());
    }
    lblPacketCounter->setText(holdsPackets_ ? QString::number(scrPacket->value()) : "0");
    showPacketTime(holdsPackets_ ? scrPacket->value() : 0);
    setLocked(btnPause, btnPauseTag, false);
    setLocked(btnPlay, btnPlayTag, false);
    atStart_ = true;
}

void FrmFilters::tick()
{
    // A tick that comes while the previous tick's packet is still drawing (the
    // drawing lets events run) waits for it rather than starting a drawing
    // inside the drawing: with slow views at full speed that nesting would
    // grow without end.
    if (ticking_) {
        tickWaiting_ = true;
        return;
    }
    const QPointer<FrmFilters> self(this);
    ticking_ = true;
    do {
        tickWaiting_ = false;
        const int32_t packet = advance();
        if (packet == 0) break;
        displayPackets(packet, packet);
        if (!self) return;   // the window was closed while the packet was drawn
    } while (tickWaiting_ && tmrPlayTimer->isActive());
    ticking_ = false;
}

void FrmFilters::timerFired()
{
    if (tglAsCaptured->isChecked()) {
        paceAsCaptured();
        return;
    }
    // A busy machine delivers some ticks late, and the event loop folds late
    // ticks into one: the ticks that fell due meanwhile are made up here, so
    // the fastest speed really plays 1000 packets a second. A stall (a slow
    // drawing, the process not running) is made up for 100 ms at most: at one
    // packet a second a ten-second stall draws one packet, not ten.
    const int64_t intervalNs = int64_t(tmrPlayTimer->interval()) * 1'000'000;
    const int64_t due = playClock_.nsecsElapsed() / intervalNs;
    ticksDone_ = std::max(ticksDone_ + 1, due - kMakeUpNs / intervalNs);
    const QPointer<FrmFilters> self(this);
    tick();
    while (self && !ticking_ && tmrPlayTimer->isActive() && ticksDone_ < due) {
        ++ticksDone_;
        tick();
    }
}

int32_t FrmFilters::advance()
{
    if (!holdsPackets_) {
        stopAction();   // an empty store has nothing to play
        return 0;
    }
    const int position = scrPacket->value();
    if (atStart_) return moveTo(position);   // playing from Stopped shows the first held packet first
    if (position < scrPacket->maximum()) return moveTo(position + 1);
    if (tglLoop->isChecked()) return moveTo(scrPacket->minimum());   // the views keep what they show
    stopAction();   // the end: Stop runs, but btnStop itself stays up
    return 0;
}

int32_t FrmFilters::moveTo(int32_t position)
{
    atStart_ = false;
    {
        Locked lock(scrPacketTag);
        scrPacket->setValue(position);
    }
    lblPacketCounter->setText(QString::number(position));
    showPacketTime(position);
    return position;
}

void FrmFilters::showChosenPacket(int64_t packet)
{
    if (!holdsPackets_ || packet < scrPacket->minimum() || packet > scrPacket->maximum()) return;
    moveTo(int32_t(packet));
}

void FrmFilters::stepBy(int delta)
{
    if (!holdsPackets_) return;
    const int position = scrPacket->value();
    if (delta > 0 ? position >= scrPacket->maximum() : position <= scrPacket->minimum()) return;
    const int32_t packet = moveTo(position + delta);
    displayPackets(packet, packet);   // last: the window may be gone when the drawing returns
}

void FrmFilters::showPositionByHand(int value)
{
    if (!holdsPackets_) return;
    atStart_ = false;
    lblPacketCounter->setText(QString::number(value));
    showPacketTime(value);
    // Drawn from the event loop, once for however many moves came meanwhile:
    // the views then show exactly the one packet at the position, and the
    // scroll bar's own handler never finds itself closed under it.
    positionWanted_ = value;
    if (positionPending_) return;
    positionPending_ = true;
    QMetaObject::invokeMethod(this, &FrmFilters::drawPositionByHand, Qt::QueuedConnection);
}

void FrmFilters::drawPositionByHand()
{
    positionPending_ = false;
    const int32_t packet = positionWanted_;
    clearVisualizations();
    if (packet < firstHeldPacket() || packet > getPacketCount()) return;   // the store moved on meanwhile
    displayPackets(packet, packet);
}

void FrmFilters::speedChanged(int value)
{
    lblCurrentSpeed->setText(QString::number(value));
    tmrPlayTimer->setInterval(timerIntervalForSpeed(value));   // restarts a running timer
    playClock_.start();
    ticksDone_ = 0;
    if (tglAsCaptured->isChecked()) paceDueNs_ = paceClock() + waitAfter(scrPacket->value());
}

void FrmFilters::paceAsCaptured()
{
    // The drawing under way lets events run; the loop that started it goes on after it.
    if (ticking_ || !tmrPlayTimer->isActive()) return;
    const QPointer<FrmFilters> self(this);
    int64_t now = paceClock();
    // Each packet is due a wait after the one before, however late that one
    // came, so lateness never adds up. A stall is made up for 100 ms at most.
    paceDueNs_ = std::max(paceDueNs_, now - kMakeUpNs);
    for (int played = 0; now >= paceDueNs_ && played < kMostPacedAtOnce; ++played) {
        tick();
        // Unticked while the packet was drawn: the timer already has the speed's interval.
        if (!self || !tmrPlayTimer->isActive() || !tglAsCaptured->isChecked()) return;
        paceDueNs_ += waitAfter(scrPacket->value());
        now = paceClock();
    }
    // Restarted each time for exactly the rest, rounded up to the millisecond
    // (at once when packets are still due).
    tmrPlayTimer->start(int(std::max<int64_t>(0, (paceDueNs_ - now + 999'999) / 1'000'000)));
}

int64_t FrmFilters::waitAfter(int32_t position)
{
    const int64_t untimed = int64_t(timerIntervalForSpeed(spnSpeed->value())) * 1'000'000;
    if (!holdsPackets_ || position >= scrPacket->maximum()) return untimed;   // the loop's wrap has no gap
    const PaceFactor& factor = kPaceFactors[size_t(std::max(0, cmbPaceFactor->currentIndex()))];
    const PaceWait wait = paceWait(getCaptureTime(position), getCaptureTime(position + 1), factor, untimed);
    if (wait.shortened)
        lblPace->setText(QString("A gap of %1 after packet %2 was played as 2 s")
                             .arg(QString::fromStdString(spanText(wait.gapNs)))
                             .arg(position));
    return wait.ns;
}

void FrmFilters::applyBufferRange(int minPos, int maxPos, int usable)
{
    const auto [first, last] = bufferRangeFor(minPos, maxPos, usable, firstHeldPacket(), getPacketCount());
    wholeRange_ = first == firstHeldPacket() && last == getPacketCount();
    lblBufferRange->setText(rangeText(first, last));
    initBufferViews();
    displayPackets(first, last);   // last: the window may be gone when the drawing returns
}
