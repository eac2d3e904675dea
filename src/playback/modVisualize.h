#pragma once
// The road from the store to the views: a range of packets is copied out,
// filtered, and handed to every view and thumbnail in a fixed order.
//
// Every packet asked for joins the drawn sequence, and one drawing at a time
// works through it: a range asked for while a drawing runs (a player tick, a
// captured frame, at a yield point) is drawn after it, in order, once.
#include <cstdint>

class DrawnSequence;

// Draws packets first..last (nothing when first > last).
void displayPackets(int64_t first, int64_t last);
// One packet: filter, byte histogram, then each view's Plot (while shown) and thumbnail.
void visualizePacket(int64_t packetNumber, const uint8_t* packetTxt, int packetLen);
// Empties all seven views, shown or hidden, and forgets the drawn sequence.
void clearVisualizations();
// A fresh start for the views that accumulate over a buffer range.
void initBufferViews();

// Empties every view and thumbnail and draws the drawn sequence again, with
// the filter, colours and the views' controls as they are now.
void redrawVisualizations();
// Ends the drawing under way: the packets it has not drawn yet leave the
// drawn sequence, so nothing is drawn later by surprise.
void stopDrawing();
// A drawing is under way (it may be waiting at a yield point).
bool drawingUnderway();
// The packets drawn since the views were last cleared.
const DrawnSequence& drawnSequence();
