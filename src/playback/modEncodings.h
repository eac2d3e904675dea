#pragma once
// Protocol colours. The eight colour variables start from the swatches of the
// "filters" window and change only through its colour picker.
#include <cstdint>

#include "platform/colorRef.h"

extern ColorRef etherColor;
extern ColorRef ipColor;
extern ColorRef tcpColor;
extern ColorRef udpColor;
extern ColorRef icmpColor;
extern ColorRef igmpColor;
extern ColorRef otherTransportColor;
extern ColorRef unassignedTransportColor;

// The colour a view draws a packet of this IP protocol number (0..255) in.
ColorRef encodingColor(int protocol);
