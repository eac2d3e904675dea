#pragma once
// The nivora dataset layout: the 8-byte header "<NIVORA>", then records back
// to back, each a raw Ethernet frame closed by the 16-byte text trailer
// "<NIVORA[CR][LF]>" (the brackets and letters are literal characters).
// There are no lengths and no escaping: a record ends at the first '>' that
// completes the trailer once more than 16 bytes have been gathered since the
// previous record ended.
#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::string_view kDatasetHeader = "<NIVORA>";
constexpr std::string_view kRecordTrailer = "<NIVORA[CR][LF]>";
constexpr size_t kTrailerSize = 16;
constexpr size_t kMaxRecordBytes = 1601;                          // frame plus trailer
constexpr size_t kMaxDatasetFrame = kMaxRecordBytes - kTrailerSize;   // 1585

// True when the first 8 bytes are exactly the header (case included).
bool hasDatasetHeader(const uint8_t* data, size_t size);

// Why a frame cannot be written into a dataset, if it cannot.
enum class DatasetMisfit { None, Empty, TooLong, HoldsTrailer };

// A frame fits when it has 1..1585 bytes and reading it back ends its record
// at its own trailer: the trailer text inside it at offset 1 or later would
// end the record early. (At offset 0 it does not: only 16 bytes have been
// gathered there.)
DatasetMisfit datasetMisfit(const uint8_t* frame, size_t size);
