#pragma once
// The refusal of a file that begins with neither the dataset header nor a
// pcap or pcapng magic number: as a damaged dataset when its first bytes are
// the header's start in any case, else as neither, with what they look like.
#include <cstddef>
#include <cstdint>
#include <string>

#include "loadReport.h"

// How many first bytes the refusal looks at.
constexpr size_t kFirstBytesShown = 16;

// Fills report.error and report.message for `path`, whose first `size` bytes
// (up to kFirstBytesShown, fewer only when the file is shorter) are `first`.
void refuseUnknownFile(const std::string& path, const uint8_t* first, size_t size, LoadReport& report);
