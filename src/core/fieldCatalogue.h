#pragma once
// The header fields a view axis can show: 18 fields in a fixed order (the
// order is each axis selector's list index), each with a value, a label and a
// scale range, and the rule that turns a value into a pixel position.
#include <array>
#include <cstdint>
#include <string>

#include "rounding.h"

constexpr int kFieldCount = 18;

// "packet length", "IP Transport Protocol", ..., "IP Header Checksum".
const std::array<const char*, kFieldCount>& fieldNames();

// How "IP Transport Protocol" is labelled: its number, or its keyword ("TCP").
enum class ProtocolLabel { Decimal, Keyword };

struct FieldSample {
    bool selected = false;   // false for a field index outside 0..17 (no selection)
    int32_t value = 0;
    std::string label;
};

// The value and label of field `field` for packet `packet` (a packet or slot
// number). The fields are read as the store holds them, whatever the frame
// is: a non-IPv4 frame still has "IP" values, a UDP packet the TCP ports its
// slot last held.
FieldSample evaluateField(int field, int64_t packet, ProtocolLabel style);
// The same for a frame's decoded headers, read without the store.
struct FrameHeaders;
FieldSample evaluateField(int field, const FrameHeaders& headers, ProtocolLabel style);
// Only the value (0 for an index outside 0..17).
int32_t fieldValue(int field, const FrameHeaders& headers);

// The exclusive upper bound used for scaling (1518, 256, 16, 8, 8192 or
// 65536); 0 for an index outside 0..17.
int32_t fieldRange(int field);

// Vertical axis: value 0 at the bottom (position displayValue), values near
// the range at the top (near 0). Not clamped: a value at or above its range
// lands at or above the top edge. An extent of 0 or less, or no range, gives 0.
double scaleRange(double actualValue, double maxRange, double displayValue);
// Horizontal axis: value 0 at the left edge, position = displayValue * ratio.
double scaleRangeHorizontal(double actualValue, double maxRange, double displayValue);

