#include "modProcess.h"

#include <algorithm>
#include <cstring>

#include "modLibrary.h"

namespace {
// The decoder reads at most up to byte 37 + 40 (ports behind 40 bytes of IP options).
constexpr int kDecodedPrefix = 78;

Octets2 pair(const uint8_t* b) { return {b[0], b[1]}; }
}

FrameHeaders decodeFrame(const uint8_t* frame, int frameSize)
{
    uint8_t b[kDecodedPrefix] = {};
    std::memcpy(b, frame, size_t(std::clamp(frameSize, 0, kDecodedPrefix)));

    FrameHeaders h;
    h.packetLength = int16_t(std::clamp(frameSize - 1, 0, kLastPosition));
    h.etherType = pair(b + 12);
    h.ipVersion = b[14] >> 4;
    h.ipHeaderLen = b[14] & 15;
    h.ipDiffServices = b[15];
    h.ipTotalLength = pair(b + 16);
    h.ipIdentification = pair(b + 18);
    h.ipFlagReserved = (b[20] & 0x80) != 0;
    h.ipFlagDF = (b[20] & 0x40) != 0;
    h.ipFlagMF = (b[20] & 0x20) != 0;
    h.ipFragmentOffset = {uint8_t(b[20] & 31), b[21]};
    h.ipTTL = b[22];
    h.ipProtocol = b[23];
    h.ipHeaderChecksum = pair(b + 24);
    h.ipSource = {b[26], b[27], b[28], b[29]};
    h.ipDest = {b[30], b[31], b[32], b[33]};

    const int k = h.ipHeaderLen >= 5 ? (h.ipHeaderLen - 5) * 4 : 0;   // length of the IP options
    if (h.ipProtocol == 17) {
        h.udpSourcePort = pair(b + 34 + k);
        h.udpDestPort = pair(b + 36 + k);
    }
    if (h.ipProtocol == 6) {
        h.tcpSourcePort = pair(b + 34 + k);
        h.tcpDestPort = pair(b + 36 + k);
    }
    return h;
}

void decodeHeaders(int32_t slot, const uint8_t* frame, int frameSize)
{
    const FrameHeaders h = decodeFrame(frame, frameSize);
    PacketColumns& c = store_detail::columns;
    c.etherType[slot] = h.etherType;
    c.ipVersion[slot] = h.ipVersion;
    c.ipHeaderLen[slot] = h.ipHeaderLen;
    c.ipDiffServices[slot] = h.ipDiffServices;
    c.ipTotalLength[slot] = h.ipTotalLength;
    c.ipIdentification[slot] = h.ipIdentification;
    c.ipFlagReserved[slot] = h.ipFlagReserved;
    c.ipFlagDF[slot] = h.ipFlagDF;
    c.ipFlagMF[slot] = h.ipFlagMF;
    c.ipFragmentOffset[slot] = h.ipFragmentOffset;
    c.ipTTL[slot] = h.ipTTL;
    c.ipProtocol[slot] = h.ipProtocol;
    c.ipHeaderChecksum[slot] = h.ipHeaderChecksum;
    c.ipSource[slot] = h.ipSource;
    c.ipDest[slot] = h.ipDest;
    if (h.ipProtocol == 17) {
        c.udpSourcePort[slot] = h.udpSourcePort;
        c.udpDestPort[slot] = h.udpDestPort;
    }
    if (h.ipProtocol == 6) {
        c.tcpSourcePort[slot] = h.tcpSourcePort;
        c.tcpDestPort[slot] = h.tcpDestPort;
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
