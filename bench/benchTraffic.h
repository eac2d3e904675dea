#pragma once
// The benchmarks' traffic: a mix of TCP with HTTP text, UDP, ICMP and
// full-size frames for the store, and the full dataset the file benchmarks read.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/datasetFormat.h"
#include "core/modLibrary.h"

inline void fillStoreWithMixedTraffic(int packets)
{
    const int sizes[] = {60, 590, 1514, 74, 342, 1514, 98, 1078};
    const uint8_t protocols[] = {6, 17, 6, 1, 6, 17, 17, 6};
    const char* http = "GET /index.html HTTP/1.1\r\nHost: www.example.org\r\nUser-Agent: bench\r\n\r\n";
    std::vector<uint8_t> f;
    for (int n = 0; n < packets; ++n) {
        const int k = n % 8;
        f.assign(size_t(sizes[k]), 0);
        for (int i = 0; i < sizes[k]; ++i) f[size_t(i)] = uint8_t(i * 7 + n);
        f[12] = 0x08; f[13] = 0x00; f[14] = 0x45; f[23] = protocols[k];
        f[26] = uint8_t(10 + n % 7); f[30] = uint8_t(n % 251);   // a few sources and destinations
        if (protocols[k] == 6)
            for (int i = 54, j = 0; i < sizes[k]; ++i, ++j) f[size_t(i)] = uint8_t(http[j % std::strlen(http)]);
        addPacket(f.data(), sizes[k] - 1);
    }
}

// 30000 records of 1585-byte frames with random payloads (a '>' turns up
// every 256 bytes or so): about 48 MB.
inline void writeDataset(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << kDatasetHeader;
    uint64_t state = 12345;
    std::vector<char> frame(kMaxDatasetFrame);
    for (int r = 0; r < kSlotCount; ++r) {
        for (char& c : frame) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            c = char(state >> 56);
        }
        frame[12] = 0x08; frame[13] = 0x00; frame[14] = 0x45; frame[23] = char(r % 3 ? 6 : 17);
        out.write(frame.data(), std::streamsize(frame.size()));
        out << kRecordTrailer;
    }
}
