#pragma once
// Header decoding: fixed-offset Ethernet II / IPv4 / TCP / UDP fields into the
// slot's columns, and the byte histogram of the packet being drawn.
#include <cstdint>

// Decodes a frame of frameSize bytes into the columns of slot. The Ethernet II
// + IPv4 layout is applied to every frame whatever its Ethertype; a position
// beyond the frame's end reads as 0.
void decodeHeaders(int32_t slot, const uint8_t* frame, int frameSize);

// Fills byteFrequency with the histogram of frame[0..n-1], divided by n - 1
// when n - 1 >= 1 (so the entries add up to n / (n - 1)); raw counts otherwise.
void computeByteFrequency(const uint8_t* frame, int n);
