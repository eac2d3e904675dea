#include "modVisualize.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <algorithm>
#include <array>
#include <cstring>

#include "core/accessors.h"
#include "core/drawnSequence.h"
#include "core/modFilters.h"
#include "core/modProcess.h"
#include "core/showOnly.h"
#include "platform/yieldPoint.h"
#include "playback/frmFilters.h"
#include "vis/packetSelection.h"
#include "vis/viewRegistry.h"

namespace {
using WorkBuffer = std::array<uint8_t, kSlotBytes>;

// A drawing that lasts longer than this shows its progress and stops on Escape.
constexpr qint64 kProgressAfterMs = 300;
constexpr qint64 kProgressEveryMs = 50;

// The filter's part of the protocol settings.
struct FilterState {
    std::array<bool, kProtocolClasses> hidden;
    std::array<bool, kPacketMatches> onlyMatching;
    bool hideNonIPv4, hideIPv4;
    uint64_t showOnly;   // which "Show only" expression
    bool operator==(const FilterState&) const = default;
};

FilterState filterState()
{
    const ProtocolSettings& s = protocolSettings();
    return {s.hidden, s.onlyMatching, s.hideNonIPv4, s.hideIPv4, showOnlyGeneration()};
}

// The packets among the kept positions [from, to) that the filter lets through.
int64_t passingBetween(const DrawnSequence& drawn, int64_t from, int64_t to)
{
    int64_t n = 0;
    drawn.forEachBetween(from, to, [&](int64_t, int64_t p) { n += !filterPacket(p); });
    return n;
}

// How many packets the filter lets through after a position, among those
// asked for so far: what tells a scrolling view that a packet will scroll out.
// Counted once and kept up as the drawing moves on; counted afresh when the
// filter, the sequence's packets ahead or the drawing itself changed.
class PassingAhead {
public:
    int64_t after(const DrawnSequence& drawn, int64_t position, uint64_t generation)
    {
        const int64_t from = position + 1, end = drawn.endPosition();
        const FilterState filter = filterState();
        const bool same = generation == generation_ && filter == filter_ && from >= from_ && from <= to_ &&
                          drawn.countBetween(from_, to_) == kept_;
        if (same) {
            passing_ -= passingBetween(drawn, from_, from);
            passing_ += passingBetween(drawn, to_, end);
        } else {
            passing_ = passingBetween(drawn, from, end);
        }
        from_ = from;
        to_ = end;
        kept_ = drawn.countBetween(from_, to_);
        generation_ = generation;
        filter_ = filter;
        return passing_;
    }

private:
    int64_t from_ = 0, to_ = 0, kept_ = 0, passing_ = 0;
    uint64_t generation_ = ~uint64_t(0);
    FilterState filter_{};
};

struct Dispatch {
    DrawnSequence drawn;
    int64_t cursor = 0;       // every position before it has gone to the views
    int64_t rangeMark = 0;    // the views that start afresh with a buffer range draw from here
    uint64_t generation = 0;  // a clear, a redraw or a stop: a packet copied before it is not drawn
    bool running = false;     // a drawing works through the sequence
    PassingAhead ahead;
};

Dispatch& dispatch()
{
    static Dispatch d;
    return d;
}

// One packet that passed the filter, to every view and thumbnail; `following`
// packets that pass come after it in the same drawing.
void drawToViews(const PacketToDraw& packet, int64_t position, int64_t following)
{
    for (const ViewRow& row : viewRows()) {
        // Re-fetched for every packet: a view closed at a yield point comes back hidden.
        VisWindow& view = viewWindow(row);
        // A view that started afresh with the buffer range leaves out what came before it.
        const bool beforeItsStart = row.accumulatesOverRange && position < dispatch().rangeMark;
        if (view.isShown() && !beforeItsStart) {
            if (following >= view.packetsKept()) view.skip(packet);
            else view.Plot(packet);
            view.drawnSinceClear = true;
        }
        if (ThumbnailRenderer* thumbnail = viewThumbnail(row)) {
            const ThumbnailTarget target = thumbnailTarget(row.thumbIndex);
            if (following >= thumbnail->packetsKept(target)) thumbnail->skip(packet, target);
            else thumbnail->plotThumbnail(packet, target);
        }
    }
}

// Escape, wherever the focus is, stops a long drawing; a message box keeps its own Escape.
class EscapeStopsDrawing : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape &&
            !QApplication::activeModalWidget()) {
            stopDrawing();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }
};

// Shows a drawing's progress once it has lasted kProgressAfterMs.
class DrawProgress {
public:
    DrawProgress() { clock_.start(); }
    ~DrawProgress()
    {
        if (!shown_) return;
        QCoreApplication::instance()->removeEventFilter(&escape());
        frmFilters()->showDrawProgress(0, 0);
    }
    DrawProgress(const DrawProgress&) = delete;
    DrawProgress& operator=(const DrawProgress&) = delete;

    void drewOne(int64_t left)
    {
        ++done_;
        const qint64 now = clock_.elapsed();
        if (now < kProgressAfterMs || now - lastShown_ < kProgressEveryMs) return;
        if (!shown_ && QCoreApplication::instance()) {
            shown_ = true;
            QCoreApplication::instance()->installEventFilter(&escape());
        }
        if (shown_) frmFilters()->showDrawProgress(done_, done_ + left);
        lastShown_ = now;
    }

private:
    QElapsedTimer clock_;
    qint64 lastShown_ = 0;
    int64_t done_ = 0;
    bool shown_ = false;

    // Made once, at the first long drawing: every captured frame is a drawing of its own.
    static EscapeStopsDrawing& escape()
    {
        static EscapeStopsDrawing filter;
        return filter;
    }
};

// Works through the sequence until every packet asked for is drawn. Only one
// runs: a range asked for at one of its yield points joins the sequence and
// is drawn by it, after what was asked for before.
void drawSequence()
{
    Dispatch& d = dispatch();
    if (d.running) return;
    d.running = true;
    DrawProgress progress;
    // Each drawing has its own work buffer: a handler run at a yield point
    // cannot disturb the packet being copied.
    WorkBuffer work{};
    for (;;) {
        const int64_t position = d.drawn.nextKept(d.cursor);
        if (position >= d.drawn.endPosition()) break;
        const int64_t p = d.drawn.packetAt(position);
        const uint64_t generation = d.generation;
        const int n = getPacketLength(p);
        // The packet is copied whole, so a handler run at the yield points
        // below never sees half of one packet and half of its successor.
        std::memcpy(work.data(), packetBytesOf(p), size_t(n) + 1);
        yieldPoint();
        yieldPoint();
        if (d.generation != generation) continue;   // cleared, redrawn or stopped meanwhile
        d.cursor = position + 1;
        if (!filterPacket(p)) {
            computeByteFrequency(work.data(), n + 1);
            const PacketToDraw packet{p, work.data(), n + 1, &byteFrequency()};
            drawToViews(packet, position, d.ahead.after(d.drawn, position, d.generation));
        }
        progress.drewOne(d.drawn.countBetween(d.cursor, d.drawn.endPosition()));
    }
    d.running = false;
}

// A view opened with nothing drawn since the last clear: the packets drawn so
// far, into it alone, as if it had been open all along.
void drawSequenceInto(int number)
{
    const ViewRow& row = viewRow(number);
    VisWindow& view = viewWindow(row);
    Dispatch& d = dispatch();
    if (view.drawnSinceClear || !view.isShown()) return;
    d.drawn.dropBelow(firstHeldPacket());
    const int64_t from = row.accumulatesOverRange ? d.rangeMark : 0, to = d.cursor;
    int64_t following = passingBetween(d.drawn, from, to);
    if (following == 0) return;
    // No yield point here: what the drawing under way draws next comes after these.
    WorkBuffer work{};
    d.drawn.forEachBetween(from, to, [&](int64_t, int64_t p) {
        if (filterPacket(p)) return;
        --following;
        const int n = getPacketLength(p);
        std::memcpy(work.data(), packetBytesOf(p), size_t(n) + 1);
        computeByteFrequency(work.data(), n + 1);
        const PacketToDraw packet{p, work.data(), n + 1, &byteFrequency()};
        if (following >= view.packetsKept()) view.skip(packet);
        else view.Plot(packet);
    });
    view.drawnSinceClear = true;
}

const bool viewOpenedHandlerSet = (setViewOpenedHandler(&drawSequenceInto), true);

// Empties every view and thumbnail, the drawn sequence untouched.
void clearViews()
{
    packetSelection().clear();   // its marks go with the pictures
    for (const ViewRow& row : viewRows()) {
        VisWindow& view = viewWindow(row);
        view.clear();
        view.drawnSinceClear = false;
        if (ThumbnailRenderer* thumbnail = viewThumbnail(row)) thumbnail->clear(thumbnailTarget(row.thumbIndex));
    }
}
}

void displayPackets(int64_t first, int64_t last)
{
    Dispatch& d = dispatch();
    // Packet and slot numbers start at 1; 0 (what the store returns for a frame
    // it did not take) and below draw nothing.
    first = std::max<int64_t>(first, 1);
    if (first > last) return;
    // The player's first filter stage decides which packets join the sequence.
    int64_t runStart = 0;
    for (int64_t p = first; p <= last; ++p) {
        const bool taken = frmFilters()->filter(p);
        if (taken && runStart == 0) runStart = p;
        if (!taken && runStart != 0) {
            d.drawn.append(runStart, p - 1);
            runStart = 0;
        }
    }
    if (runStart != 0) d.drawn.append(runStart, last);
    d.drawn.dropBelow(firstHeldPacket());
    drawSequence();
}

void visualizePacket(int64_t packetNumber, const uint8_t* packetTxt, int packetLen)
{
    WorkBuffer copy;
    std::memcpy(copy.data(), packetTxt, copy.size());
    yieldPoint();
    if (filterPacket(packetNumber)) return;

    computeByteFrequency(copy.data(), packetLen);
    const PacketToDraw packet{packetNumber, copy.data(), packetLen, &byteFrequency()};
    drawToViews(packet, dispatch().drawn.endPosition(), 0);
}

void clearVisualizations()
{
    Dispatch& d = dispatch();
    clearViews();
    d.drawn.clear();
    d.cursor = d.rangeMark = 0;
    ++d.generation;
}

void initBufferViews()
{
    dispatch().rangeMark = dispatch().drawn.endPosition();
    for (const ViewRow& row : viewRows()) {
        if (!row.accumulatesOverRange) continue;
        viewWindow(row).initBufferView();
        if (ThumbnailRenderer* thumbnail = viewThumbnail(row))
            thumbnail->initBufferView(thumbnailTarget(row.thumbIndex));
    }
}

void redrawVisualizations()
{
    Dispatch& d = dispatch();
    clearViews();
    d.drawn.dropBelow(firstHeldPacket());
    d.cursor = 0;
    ++d.generation;
    drawSequence();   // or, at a yield point of one under way, that one starts again from the top
}

void stopDrawing()
{
    Dispatch& d = dispatch();
    if (!d.running) return;
    d.drawn.truncate(d.cursor);
    ++d.generation;
}

bool drawingUnderway() { return dispatch().running; }

const DrawnSequence& drawnSequence() { return dispatch().drawn; }
