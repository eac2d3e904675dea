#pragma once
// The comments a capture file keeps on one frame (a pcapng packet's
// opt_comment options, several allowed), in file order. Most frames have none.
#include <string>
#include <vector>

using FrameComments = std::vector<std::string>;

// A pcapng option's value holds at most this many bytes.
inline constexpr size_t kMaxCommentBytes = 65535;
