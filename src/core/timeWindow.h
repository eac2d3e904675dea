#pragma once
// Windows of a file chosen by time: a time typed as the player shows it
// ("2023-11-14 23:13:20.000001", local time) or as seconds since 1970
// ("1700000000.5"), and the first frame captured at or after it. Where the
// times of a file go backwards, that is the first frame in file order whose
// time is at or after the one asked: a later frame with an earlier time never
// moves the answer back.
#include <cstdint>
#include <string>

#include "captureTime.h"
#include "frameIndex.h"

// The time in `text`, or false when it is neither form (or no such local time).
bool parseCaptureTime(const std::string& text, CaptureTime& time);

// Why frames of the indexed file cannot be found by time; empty when they can.
std::string timeSearchProblem(const FrameIndex& index);

// The number of the first frame captured at or after `time`, read through the
// index from its point nearest before it; 0 when every frame is earlier (or
// the file cannot be read or has changed: report says so).
int64_t firstFrameAtOrAfter(const FrameIndex& index, CaptureTime time, LoadReport& report);
