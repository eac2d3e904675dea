#pragma once
// How "nivora-cli render" is called; shared by nivora-cli's help and nivora-render's messages.
inline constexpr const char* kRenderUsage =
    "render FILE --out DIR [--size WxH] [--set WINDOW.CONTROL=VALUE]... [--window A-B] [--filter EXPR] [--range FIRST-LAST] [--format bmp|png]";
// And "nivora-cli pick", which draws as render does and names the packets under one pixel.
inline constexpr const char* kPickUsage =
    "pick FILE --view NAME --at X,Y [--size WxH] [--set WINDOW.CONTROL=VALUE]... [--window A-B] [--filter EXPR] [--range FIRST-LAST]";
