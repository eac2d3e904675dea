#pragma once
// The contract between the dispatch and the seven views. The dispatch hands
// every view the same description of the packet; each view takes what it needs.
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

class PictureSurface;

// What a view that keeps every packet's mark answers to packetsKept().
constexpr int64_t kKeepsEveryPacket = std::numeric_limits<int64_t>::max();

struct PacketToDraw {
    int64_t number;                          // packet number (past 2^31 in a long capture)
    const uint8_t* bytes;                    // the dispatch's private copy, positions 0..1600
    int len;                                 // frame size (packetLen); read only bytes[0..len-1]
    const std::array<float, 256>* frequency; // the packet's byte histogram
};

// A view's full-size drawing, as the dispatch drives it.
class VisWindow {
public:
    virtual ~VisWindow() = default;

    // Draws one more packet into the full-size view; called only while shown.
    virtual void Plot(const PacketToDraw& packet) = 0;
    // Empties the view and the state it accumulated.
    virtual void clear() = 0;
    // A fresh start for the views that accumulate over a buffer range.
    virtual void initBufferView() {}
    // Shown: the window is open on the screen (minimised or covered included).
    virtual bool isShown() const = 0;
    // The pictures a screenshot writes, in the order of the view's file suffixes.
    virtual std::vector<const PictureSurface*> screenshotPictures() const { return {}; }

    // When many packets are drawn at once: a packet that at least this many
    // drawn packets follow has scrolled out of a scrolling view by the end,
    // and the dispatch hands it to skip() instead of Plot().
    virtual int64_t packetsKept() const { return kKeepsEveryPacket; }
    // Moves on as Plot() would, leaving out the drawing that would scroll out:
    // the picture at the end is the one Plot() would have left.
    virtual void skip(const PacketToDraw& packet) { Plot(packet); }

    // Set by the dispatch when it draws into the view, reset when it clears
    // every view: a view opened with nothing drawn since is drawn from the
    // drawn sequence.
    bool drawnSinceClear = false;
};

// The pictures a thumbnail draws on: the main window's thumbnail and, for
// the views that scroll it, a drawing buffer of the same size.
struct ThumbnailTarget {
    PictureSurface* picture;
    PictureSurface* back;
};

// A view's thumbnail. It lives as long as the program, so a view closed and
// opened again goes on drawing its thumbnail where it left off.
class ThumbnailRenderer {
public:
    virtual ~ThumbnailRenderer() = default;
    // Draws the packet's summary; called for every packet, the view shown or not.
    virtual void plotThumbnail(const PacketToDraw& packet, const ThumbnailTarget& target) = 0;
    // What clearing the view does to its thumbnail.
    virtual void clear(const ThumbnailTarget&) {}
    // What a new buffer range does to it.
    virtual void initBufferView(const ThumbnailTarget&) {}

    // As VisWindow's: how many of the newest packets the thumbnail can show,
    // and the move that leaves out what scrolls out.
    virtual int64_t packetsKept(const ThumbnailTarget&) const { return kKeepsEveryPacket; }
    virtual void skip(const PacketToDraw& packet, const ThumbnailTarget& target) { plotThumbnail(packet, target); }
};
