#pragma once
// Finding the records of a dataset as its bytes stream past, block by block.
// The rule is the reader's: a record ends at a '>' that completes the trailer
// while more than 16 bytes have been gathered since the previous record
// ended; the frame is everything before the trailer. Bytes after the last
// record end belong to no record. A record may span any number of blocks;
// the scanner keeps at most one record's 1601 bytes, so a record too long to
// be stored costs no memory however long it is.
#include <cstring>

#include "datasetFormat.h"

struct DatasetRecord {
    const uint8_t* frame;   // first frame byte; null when the record is longer than 1601 bytes
    size_t size;            // frame bytes, at least 1
    int64_t start;          // file offset of the record's first byte
    int64_t end;            // file offset of the trailer's closing '>'
};

class DatasetScanner {
public:
    // `offset`: the file offset of the first byte fed (the first after the header).
    explicit DatasetScanner(int64_t offset = int64_t(kDatasetHeader.size())) : recordStart_(offset), offset_(offset) {}

    // Feeds the next `size` bytes of the file, calling onRecord(const DatasetRecord&)
    // for each record they complete, in file order; returns false as soon as
    // onRecord does (the scanner is then spent). Jumps from '>' to '>' with memchr.
    template <class OnRecord>
    bool feed(const uint8_t* data, size_t size, OnRecord&& onRecord)
    {
        size_t from = 0;   // where the current record continues in this block
        size_t p = 0;
        while (p < size) {
            const void* hit = std::memchr(data + p, '>', size - p);
            if (!hit) break;
            const size_t q = size_t(static_cast<const uint8_t*>(hit) - data);
            p = q + 1;
            const size_t inBlock = q - from + 1;
            const size_t gathered = carried_ + inBlock;
            if (gathered <= kTrailerSize || !trailerEndsAt(data + from, inBlock)) continue;
            const uint8_t* frame = nullptr;
            if (gathered <= kMaxRecordBytes) {
                if (carried_ == 0) {
                    frame = data + from;
                } else {
                    std::memcpy(record_ + carried_, data + from, inBlock);
                    frame = record_;
                }
            }
            const DatasetRecord record{frame, gathered - kTrailerSize, recordStart_, offset_ + int64_t(q)};
            carried_ = 0;
            recordStart_ = offset_ + int64_t(q) + 1;
            from = q + 1;
            if (!onRecord(record)) return false;
        }
        carry(data + from, size - from);
        offset_ += int64_t(size);
        return true;
    }

    // Bytes fed since the last record ended: at the end of the file, a last
    // record without its trailer.
    size_t unfinished() const { return carried_; }

private:
    static constexpr size_t kLead = kTrailerSize - 1;   // the trailer's bytes before its '>'

    // Whether the kLead bytes before the '>' at block[inBlock - 1] spell the
    // trailer's start; the first of them may have come in earlier blocks.
    bool trailerEndsAt(const uint8_t* block, size_t inBlock) const
    {
        const size_t here = inBlock - 1;
        const char* lead = kRecordTrailer.data();
        if (here >= kLead) return std::memcmp(block + here - kLead, lead, kLead) == 0;
        return std::memcmp(tail_ + here, lead, kLead - here) == 0 && std::memcmp(block, lead + kLead - here, here) == 0;
    }

    // The unfinished record's bytes at the end of a block: kept whole while
    // they may still make a storable record, and their last kLead always.
    void carry(const uint8_t* bytes, size_t n)
    {
        if (carried_ + n <= kMaxRecordBytes) std::memcpy(record_ + carried_, bytes, n);
        if (n >= kLead) {
            std::memcpy(tail_, bytes + n - kLead, kLead);
        } else {
            std::memmove(tail_, tail_ + n, kLead - n);
            std::memcpy(tail_ + kLead - n, bytes, n);
        }
        carried_ += n;
    }

    uint8_t record_[kMaxRecordBytes];
    uint8_t tail_[kLead] = {};
    size_t carried_ = 0;     // bytes of the unfinished record fed in earlier blocks
    int64_t recordStart_;    // file offset of the unfinished record
    int64_t offset_;         // file offset of the next block
};
