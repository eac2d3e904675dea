#pragma once
// One line of the text rainfall view, built from a packet's bytes: as
// characters, as hexadecimal or decimal numbers, or as the printable strings
// the packet holds.
#include <cstdint>

enum class RainMode { Ascii = 0, Hex = 1, Decimal = 2 };

struct RainLineRules {
    RainMode mode = RainMode::Ascii;
    bool stripEther = false;    // start at byte 14, the first byte of the IP header
    bool stringsOnly = false;   // ASCII mode: only printable strings of at least minString characters
    int minString = 1;
    int cells = 0;              // characters that fit on one line of the picture
};

// The longest line: four characters for each of a frame's 1601 bytes.
constexpr int kRainLineCapacity = 4 * 1601;

// Writes the line of a packet of len bytes to out (room for kRainLineCapacity
// characters) and returns its length.
int buildRainLine(char16_t* out, const uint8_t* bytes, int len, const RainLineRules& rules);

// The length of the printable run (32..125) starting at pos when it is at
// least minLength long, else 0. The packet's last byte never counts.
int printableRunLength(const uint8_t* bytes, int len, int pos, int minLength);
