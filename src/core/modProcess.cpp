#include "modProcess.h"

#include <algorithm>
#include <cstring>

#include "accessors.h"

namespace {
// The decoder reads at most up to byte 37 + 40 (ports behind 40 bytes of IP options).
constexpr int kDecodedPrefix = 78;
}

void decodeHeaders(int32_t slot, const uint8_t* frame, int frameSize)
{
    uint8_t b[kDecodedPrefix] = {};
    std::memcpy(b, frame, size_t(std::clamp(frameSize, 0, kDecodedPrefix)));

    setEthertype(slot, b[12], b[13]);
    setIPVersion(slot, b[14]);
    setIPHeaderLen(slot, b[14]);
    setIPDiffServices(slot, b[15]);
    setIPTotalLength(slot, b[16], b[17]);
    setIPIdentification(slot, b[18], b[19]);
    setIPFlags(slot, b[20]);
    setIPFragmentOffset(slot, b[20], b[21]);
    setTTL(slot, b[22]);
    setIPProtocol(slot, b[23]);
    setIPHeaderChecksum(slot, b[24], b[25]);
    setSourceIP(slot, b[26], b[27], b[28], b[29]);
    setDestIP(slot, b[30], b[31], b[32], b[33]);

    const int p = getIPProtocol(slot);
    const int h = getIPHeaderLen(slot);
    const int k = h >= 5 ? (h - 5) * 4 : 0;   // length of the IP options
    if (p == 17) {
        setUDPSourcePort(slot, b[34 + k], b[35 + k]);
        setUDPDestPort(slot, b[36 + k], b[37 + k]);
    }
    if (p == 6) {
        setTCPSourcePort(slot, b[34 + k], b[35 + k]);
        setTCPDestPort(slot, b[36 + k], b[37 + k]);
    }
}

void computeByteFrequency(const uint8_t* frame, int n)
{
    auto& f = byteFrequency();
    uint32_t counts[256] = {};
    for (int i = 0; i < n; ++i) ++counts[frame[i]];
    const float divisor = n - 1 >= 1 ? float(n - 1) : 1.0f;
    for (int v = 0; v < 256; ++v) f[v] = float(counts[v]) / divisor;
}
