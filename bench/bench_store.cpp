// Adding and decoding 30000 frames of 1585 bytes, against a plain copy of the same bytes.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "benchTable.h"
#include "core/modLibrary.h"

namespace {
double millisecondsOf(auto&& work, int rounds)
{
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}
}

int main()
{
    constexpr int kFrames = 30000, kSize = 1585;
    std::vector<uint8_t> source(size_t(kFrames) * kSize);
    for (size_t i = 0; i < source.size(); ++i) source[i] = uint8_t(i * 131 + (i >> 11));
    for (int f = 0; f < kFrames; ++f) {   // IPv4/TCP headers so every frame decodes its ports
        uint8_t* p = &source[size_t(f) * kSize];
        p[12] = 0x08; p[13] = 0x00; p[14] = 0x45; p[23] = f % 2 ? 6 : 17;
    }
    std::vector<uint8_t> target(source.size());

    resetBuffer("startup");
    // The best of five rounds; from the second round on the ring overwrites, as in a long capture.
    const double addOnly = millisecondsOf([&] {
        for (int f = 0; f < kFrames; ++f) addPacket(&source[size_t(f) * kSize], kSize - 1);
    }, 5);
    const double copy = millisecondsOf([&] {
        for (int f = 0; f < kFrames; ++f)
            std::memcpy(&target[size_t(f) * kSize], &source[size_t(f) * kSize], kSize);
    }, 5);
    const double reset = millisecondsOf([&] { resetBuffer("startup"); }, 5);

    std::printf("store: add + decode 30000 frames of 1585 bytes: %.2f ms (target < 40 ms)\n", addOnly);
    std::printf("store: plain memcpy of the same %.1f MB:         %.2f ms\n", source.size() / 1e6, copy);
    std::printf("store: ratio add/memcpy:                         %.2f\n", addOnly / copy);
    std::printf("store: reset (zero all columns):                 %.2f ms\n", reset);
    tableRow("store fill, 30000 x 1585-byte frames", benchFigure("%.1f ms", addOnly), "<= 4x memcpy",
             benchFigure("memcpy %.1f ms", copy), addOnly / copy);
    return 0;
}
