#pragma once
// Header decoding: fixed-offset Ethernet II / IPv4 / TCP / UDP fields into the
// slot's columns, and the byte histogram of the packet being drawn.
#include <cstdint>

#include "modLibrary.h"

// One frame's length and header fields, each as its store column keeps it.
struct FrameHeaders {
    int16_t packetLength = 0;   // index of the last byte kept (at most 1600)
    Octets2 etherType{};
    uint8_t ipVersion = 0, ipHeaderLen = 0, ipDiffServices = 0;
    Octets2 ipTotalLength{}, ipIdentification{};
    bool ipFlagReserved = false, ipFlagDF = false, ipFlagMF = false;
    Octets2 ipFragmentOffset{};
    uint8_t ipTTL = 0, ipProtocol = 0;
    Octets2 ipHeaderChecksum{};
    Octets4 ipSource{}, ipDest{};
    Octets2 tcpSourcePort{}, tcpDestPort{}, udpSourcePort{}, udpDestPort{};
};

// Decodes a frame of frameSize (1 or more) bytes. The Ethernet II + IPv4
// layout is applied to every frame whatever its Ethertype; a position beyond
// the frame's end reads as 0. The ports of a transport the frame does not
// carry are 0.
FrameHeaders decodeFrame(const uint8_t* frame, int frameSize);

// Decodes a frame into the columns of slot. The ports of a transport the
// frame does not carry keep what the slot held before.
void decodeHeaders(int32_t slot, const uint8_t* frame, int frameSize);

// Fills byteFrequency with the histogram of frame[0..n-1], divided by n - 1
// when n - 1 >= 1 (so the entries add up to n / (n - 1)); raw counts otherwise.
void computeByteFrequency(const uint8_t* frame, int n);
