#pragma once
// The packet chosen by a click in a view. Every open view outlines its marks;
// what choosing does beyond the views (the detail view shows the packet, the
// player's position moves to it) is done by the host the program installs,
// as the store's host is, so the views need no player.
#include <QObject>
#include <cstdint>

class SelectionHost {
public:
    virtual ~SelectionHost() = default;
    // The detail view shows the packet (opened when closed), the player stands on it.
    virtual void packetChosen(int64_t packet) = 0;
    // The packet drawn before (direction < 0) or after (> 0) this one, or the
    // newest drawn when packet is 0; 0 when there is none.
    virtual int64_t drawnNeighbour(int64_t packet, int direction) const = 0;
};

// nullptr: choosing only marks the views (the headless programs, tests).
void setSelectionHost(SelectionHost* host);

// Tells the views when the chosen packet changes.
class PacketSelection : public QObject {
    Q_OBJECT
public:
    int64_t chosen() const { return chosen_; }
    // Marks the packet in every view and hands it to the host; 0 clears the marks only.
    void choose(int64_t packet);
    void clear() { choose(0); }
    // The drawn packet before or after the chosen one becomes the chosen one.
    void step(int direction);

signals:
    void changed(int64_t packet);

private:
    int64_t chosen_ = 0;
};

PacketSelection& packetSelection();
