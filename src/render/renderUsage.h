#pragma once
// How "nivora-cli render" is called; shared by nivora-cli's help and nivora-render's messages.
#include <string>

#include "core/modLibrary.h"
#include "core/optionHelp.h"

inline constexpr const char* kRenderUsage =
    "render FILE --out DIR [--size WxH] [--set WINDOW.CONTROL=VALUE]... [--window A-B] [--filter EXPR] [--range FIRST-LAST] [--format bmp|png]";
// And "nivora-cli pick", which draws as render does and names the packets under one pixel.
inline constexpr const char* kPickUsage =
    "pick FILE --view NAME --at X,Y [--size WxH] [--set WINDOW.CONTROL=VALUE]... [--window A-B] [--filter EXPR] [--range FIRST-LAST]";

// The options render and pick share: what is loaded, how it is drawn.
inline const OptionTable kDrawOptions = {
    {"--size WxH", "resize every view to W by H pixels before drawing"},
    {"--set WINDOW.CONTROL=VALUE",
     "set a control as a user would before drawing, e.g. frmVis1.cmbVisMode=hex, an array element as "
     "frmVis4.radScroll[1]=true; may be given again"},
    {"--window A-B", "load only frames A to B of FILE, 1-based, at most " + std::to_string(kSlotCount)},
    {"--filter EXPR", "draw only the packets the libpcap filter expression EXPR matches, as Show only does"},
    {"--range FIRST-LAST", "draw only the stored packets FIRST to LAST"},
};
inline const OptionTable kRenderOptions = joinOptions(
    {{"--out DIR", "write the pictures, thumb1..thumb6, mainwindow and manifest.json into DIR"}},
    joinOptions(kDrawOptions, {{"--format bmp|png", "the pictures' file format (default bmp)"}}));
inline const OptionTable kPickOptions = joinOptions(
    {{"--view NAME", "the picture, named as render names its file without extension: textrainfall, scatterplot, "
                     "combined_left, ..."},
     {"--at X,Y", "the pixel of the picture asked about"}},
    kDrawOptions);
