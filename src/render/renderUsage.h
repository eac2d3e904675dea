#pragma once
// How "nivora-cli render" is called; shared by nivora-cli's help and nivora-render's messages.
#include <string>

#include "cli/cliSupport.h"
#include "core/modLibrary.h"
#include "core/optionHelp.h"

inline constexpr const char* kRenderUsage =
    "render FILE --out DIR [--size WxH] [--set WINDOW.CONTROL=VALUE]... [--window A-B|@TIME-@TIME|@TIME+COUNT] [--filter EXPR] [--range FIRST-LAST] [--format bmp|png]"
    " [--animate [--every K] [--fps F]]";
// And "nivora-cli pick", which draws as render does and names the packets under one pixel.
inline constexpr const char* kPickUsage =
    "pick FILE --view NAME --at X,Y [--size WxH] [--set WINDOW.CONTROL=VALUE]... [--window A-B|@TIME-@TIME|@TIME+COUNT] [--filter EXPR] [--range FIRST-LAST]";

// The options render and pick share: what is loaded, how it is drawn.
inline const OptionTable kDrawOptions = {
    {"--size WxH", "resize every view to W by H pixels before drawing"},
    {"--set WINDOW.CONTROL=VALUE",
     "set a control as a user would before drawing, e.g. frmVis1.cmbVisMode=hex, an array element as "
     "frmVis4.radScroll[1]=true; may be given again"},
    {"--window A-B|@TIME-@TIME|@TIME+COUNT",
     "load only frames A to B of FILE, 1-based, at most " + std::to_string(kSlotCount) + "; " + std::string(kWindowByTimeHelp)},
    {"--filter EXPR", "draw only the packets the libpcap filter expression EXPR matches, as Show only does"},
    {"--range FIRST-LAST", "draw only the stored packets FIRST to LAST"},
};
inline const OptionTable kRenderOptions = joinOptions(
    {{"--out DIR", "write the pictures, thumb1..thumb6, mainwindow and manifest.json into DIR"}},
    joinOptions(kDrawOptions,
                {{"--format bmp|png", "the pictures' file format (default bmp)"},
                 {"--animate", "also write each view and the main window as a lossless animated WebP ending on the picture"},
                 {"--every K", "with --animate: a frame after every K packets (default: at most 300 frames)"},
                 {"--fps F", "with --animate: F frames a second, 1 to 100 (default 10)"}}));
inline const OptionTable kPickOptions = joinOptions(
    {{"--view NAME", "the picture, named as render names its file without extension: textrainfall, scatterplot, "
                     "combined_left, ..."},
     {"--at X,Y", "the pixel of the picture asked about"}},
    kDrawOptions);
