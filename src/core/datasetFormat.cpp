#include "datasetFormat.h"

#include <algorithm>
#include <cstring>

bool hasDatasetHeader(const uint8_t* data, size_t size)
{
    return size >= kDatasetHeader.size() && std::memcmp(data, kDatasetHeader.data(), kDatasetHeader.size()) == 0;
}

DatasetMisfit datasetMisfit(const uint8_t* frame, size_t size)
{
    if (size == 0) return DatasetMisfit::Empty;
    if (size > kMaxDatasetFrame) return DatasetMisfit::TooLong;
    if (size > kTrailerSize) {
        const auto* t = reinterpret_cast<const uint8_t*>(kRecordTrailer.data());
        if (std::search(frame + 1, frame + size, t, t + kTrailerSize) != frame + size)
            return DatasetMisfit::HoldsTrailer;
    }
    return DatasetMisfit::None;
}
