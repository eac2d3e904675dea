#pragma once
#include <cstdint>

// Colours as the program keeps them: red in the lowest byte, then green, then blue.
using ColorRef = uint32_t;

constexpr ColorRef rgb(int r, int g, int b)
{
    return ColorRef(r & 255) | (ColorRef(g & 255) << 8) | (ColorRef(b & 255) << 16);
}
constexpr int redOf(ColorRef c) { return int(c & 255); }
constexpr int greenOf(ColorRef c) { return int((c >> 8) & 255); }
constexpr int blueOf(ColorRef c) { return int((c >> 16) & 255); }

// The 0xAARRGGBB pixel value of a 32-bit RGB image.
constexpr uint32_t toPixel(ColorRef c)
{
    return 0xFF000000u | (uint32_t(redOf(c)) << 16) | (uint32_t(greenOf(c)) << 8) | uint32_t(blueOf(c));
}
constexpr ColorRef fromPixel(uint32_t p) { return rgb(int(p >> 16), int(p >> 8), int(p)); }
