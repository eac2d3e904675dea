#pragma once
// A capture filter (libpcap's syntax) run on frames that come from no
// adapter: compiled once for Ethernet, then asked of each frame.
#include <cstdint>
#include <string>

#include "frameStamp.h"

struct bpf_program;

class FrameFilter {
public:
    FrameFilter();
    ~FrameFilter();
    FrameFilter(const FrameFilter&) = delete;
    FrameFilter& operator=(const FrameFilter&) = delete;

    // A blank expression lets every frame through. False with libpcap's words in `error`.
    bool compile(const std::string& expression, std::string& error);
    bool accepts(const uint8_t* data, uint32_t size, const FrameStamp& stamp) const;

private:
    void clear();
    bpf_program* program_ = nullptr;   // null: every frame passes
};
