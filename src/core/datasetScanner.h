#pragma once
// Finding the records of a dataset held in memory. The rule is the reader's:
// a record ends at a '>' that completes the trailer while more than 16 bytes
// have been gathered since the previous record ended; the frame is everything
// before the trailer. Bytes after the last record end belong to no record.
#include <cstring>

#include "datasetFormat.h"

struct DatasetRecord {
    const uint8_t* frame;   // first frame byte
    size_t size;            // frame bytes, at least 1
    size_t start;           // offset of the record's first byte
    size_t end;             // offset of the trailer's closing '>'
};

// Calls onRecord(const DatasetRecord&) for each record in data[start, size),
// in file order, until it returns false. Jumps from '>' to '>' with memchr, so
// the cost is one library scan plus a 15-byte compare per '>'.
template <class OnRecord>
void scanDatasetRecords(const uint8_t* data, size_t size, size_t start, OnRecord&& onRecord)
{
    size_t recordStart = start;
    size_t p = start;
    while (p < size) {
        const void* hit = std::memchr(data + p, '>', size - p);
        if (!hit) return;
        const size_t q = size_t(static_cast<const uint8_t*>(hit) - data);
        const size_t gathered = q - recordStart + 1;
        if (gathered > kTrailerSize
            && std::memcmp(data + q - (kTrailerSize - 1), kRecordTrailer.data(), kTrailerSize - 1) == 0) {
            const DatasetRecord record{data + recordStart, gathered - kTrailerSize, recordStart, q};
            if (!onRecord(record)) return;
            recordStart = q + 1;
        }
        p = q + 1;
    }
}
