#pragma once
// Window layouts are given in twips; at 96 dots per inch 15 twips make a pixel.
constexpr int twips(int t) { return (t + (t >= 0 ? 7 : -7)) / 15; }
constexpr int toTwips(int pixels) { return pixels * 15; }
