#pragma once
// The contract between the dispatch and the seven views. The dispatch hands
// every view the same description of the packet; each view takes what it needs.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

struct PacketToDraw {
    int32_t number;                          // packet number
    const uint8_t* bytes;                    // the dispatch's private copy, positions 0..1600
    int len;                                 // frame size (packetLen); read only bytes[0..len-1]
    const std::array<float, 256>* frequency; // the packet's byte histogram
};

// What one screenshot call wrote, and what it could not write and why.
struct ScreenshotLog {
    QStringList written;
    QStringList failures;   // "file: reason"
};

class VisWindow {
public:
    virtual ~VisWindow() = default;

    // Draws one more packet into the full-size view; called only while shown.
    virtual void Plot(const PacketToDraw& packet) = 0;
    // Draws the packet's summary into the main window's thumbnail; called for
    // every packet, shown or not. The detail view has no thumbnail.
    virtual bool hasThumbnail() const { return true; }
    virtual void plotThumbnail(const PacketToDraw& packet) = 0;
    // Empties the view (and, for some views, the thumbnail and accumulated state).
    virtual void clear() = 0;
    // Writes the view's screenshot file(s) named systemTime + suffix.
    virtual void ScreenShot(const QString& systemTime, ScreenshotLog& log) { (void)systemTime; (void)log; }
    // A fresh start for the views that accumulate over a buffer range.
    virtual void initBufferView() {}
    // Shown: the window is open on the screen (minimised or covered included).
    virtual bool isShown() const = 0;
};
