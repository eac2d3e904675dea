#pragma once
// What the nivora-cli commands share: loading a file into a fresh store the
// way the program does, and reporting problems on stderr.
#include <optional>
#include <string>

#include "cliCommand.h"
#include "core/captureTime.h"
#include "core/filterExpression.h"
#include "core/frameWindow.h"
#include "core/loadReport.h"

// Empties the store, then loads `path` (dataset, pcap or pcapng, told apart by
// content) with the program's rules, the 30000-packet limit included, or only
// the frames of `window`. Prints an error or the load's notes on stderr; false
// when nothing could be loaded.
bool loadIntoFreshStore(const std::string& path, LoadReport& report, const std::optional<FrameWindow>& window = {});

// "--window" of the command line: frame numbers A-B, known before the file is
// read, or times, "@TIME-@TIME" or "@TIME+COUNT", found in the file.
struct WindowOption {
    std::optional<FrameWindow> frames;
    // Times given, while their frames are not yet found: from the first
    // captured at or after `from`, `count` frames, or (count 0) up to `to`.
    struct Times {
        CaptureTime from = kNoTime, to = kNoTime;
        int64_t count = 0;
    };
    std::optional<Times> byTime;
};
// How --window takes times, in every command's help.
inline constexpr const char* kWindowByTimeHelp =
    "or by capture time, from the first frame captured at or after a TIME (local, as 2023-11-14 23:13:20.5, or "
    "seconds since 1970) to the last before one captured after the second, or COUNT frames";
// Reads the value of "--window" into `window`: empty, or what is wrong with it
// (neither form, no frames, or more than `widest`, 0: any number). The one
// reader of the option, for nivora-cli's commands and nivora-render alike.
std::string parseWindowOption(const std::string& value, WindowOption& window, int64_t widest);
// Takes "--window VALUE" out of args. 0, or the usage status 2 after saying what is wrong.
int takeWindowOption(CliArgs& args, WindowOption& window, const char* usage, int64_t widest);
// Finds the frames of a window given by time in `path` (indexing it): from the
// first frame captured at or after the first time to the last before the first
// captured after the second, or COUNT frames. 0, or 1 after saying why not
// (a file without times, no frame that late, too wide).
int findWindowByTime(WindowOption& window, const std::string& path, int64_t widest);
// Takes "--filter EXPR" out of args and compiles EXPR, a libpcap filter
// expression. 0, or the usage status 2 after printing libpcap's message.
int takeFilterOption(CliArgs& args, FilterExpression& filter, const char* usage);
// After a pass over a file of `frames` frames: 0 when the window lay inside
// it, else 1 after saying where the file ends.
int checkWindowReached(const FrameWindow& window, int64_t frames, const std::string& path);

// Prints what a load dropped or cut on stderr.
void printNotes(const LoadReport& report, const std::string& path);

// The exit status of a command that did its work: 1 when part of the input
// could not be read (the notes said what), 0 otherwise.
int finalStatus(const LoadReport& report);

// A file name argument: 0 when it can be used, else 2 (a usage error) after
// saying why: an empty name, or an output name not ending in .nivora, .pcap or .pcapng.
int checkInputName(const std::string& name);
int checkOutputName(const std::string& name);

// Tells on stderr which frames a writer left out of `out`, if any; the exit
// status that follows, 1 when some were.
struct SaveReport;
int reportLeftOut(const SaveReport& report, const std::string& out);

// "nivora-cli: text" on stderr.
void printError(const std::string& text);
// "usage: nivora-cli USAGE" on stderr; returns the usage exit status, 2.
int usageError(const char* usage);
