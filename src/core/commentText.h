#pragma once
// A frame's comments as one line of text: several comments joined by "|",
// and what would break a line or a column written as an escape: "\\", "\|",
// "\t", "\n", "\r".
#include <string>

#include "frameComments.h"

std::string commentsOnOneLine(const FrameComments& comments);
