#pragma once
// The road from the store to the views: a range of packets is copied out,
// filtered, and handed to every view and thumbnail in a fixed order.
#include <cstdint>

// Draws packets first..last (nothing when first > last).
void displayPackets(int64_t first, int64_t last);
// One packet: filter, byte histogram, then each view's Plot (while shown) and thumbnail.
void visualizePacket(int64_t packetNumber, const uint8_t* packetTxt, int packetLen);
// Empties all seven views, shown or hidden.
void clearVisualizations();
// A fresh start for the views that accumulate over a buffer range.
void initBufferViews();
