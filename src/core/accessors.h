#pragma once
// Field accessors: the only way the rest of the program reads the store.
// Each takes a packet number (or a slot number, which maps to itself).
// Readers are direct indexed reads; only the three text readers allocate.
#include <cstdint>
#include <string>

#include "modLibrary.h"

namespace store_detail {
inline int32_t word(const Octets2& o) { return 256 * int32_t(o[0]) + int32_t(o[1]); }
}

inline int getPacketLength(int64_t n) { return store_detail::columns.packetLength[packetSlot(n)]; }
// When the packet was captured; kNoTime when its file kept no time.
inline CaptureTime getCaptureTime(int64_t n) { return store_detail::columns.captureTime[packetSlot(n)]; }

// Byte at position 0..1600; a position outside the slot reads 0.
inline uint8_t getPacketByte(int64_t n, int position)
{
    if (position < 0 || position > kLastPosition) return 0;
    return store_detail::columns.packetBytes[size_t(packetSlot(n)) * kSlotBytes + size_t(position)];
}

// The whole slot's bytes (positions 0..1600), for copying a packet out in one go.
inline const uint8_t* packetBytesOf(int64_t n)
{
    return &store_detail::columns.packetBytes[size_t(packetSlot(n)) * kSlotBytes];
}

inline int32_t getEthertype(int64_t n) { return store_detail::word(store_detail::columns.etherType[packetSlot(n)]); }
std::string getEthertypeHex(int64_t n);
inline uint8_t getIPVersion(int64_t n) { return store_detail::columns.ipVersion[packetSlot(n)]; }
inline uint8_t getIPHeaderLen(int64_t n) { return store_detail::columns.ipHeaderLen[packetSlot(n)]; }
inline uint8_t getIPDiffServices(int64_t n) { return store_detail::columns.ipDiffServices[packetSlot(n)]; }
inline int32_t getIPTotalLength(int64_t n) { return store_detail::word(store_detail::columns.ipTotalLength[packetSlot(n)]); }
inline int32_t getIPIdentification(int64_t n) { return store_detail::word(store_detail::columns.ipIdentification[packetSlot(n)]); }
inline bool getIPFlagReserved(int64_t n) { return store_detail::columns.ipFlagReserved[packetSlot(n)] != 0; }
inline bool getIPFlagDF(int64_t n) { return store_detail::columns.ipFlagDF[packetSlot(n)] != 0; }
inline bool getIPFlagMF(int64_t n) { return store_detail::columns.ipFlagMF[packetSlot(n)] != 0; }
inline int32_t getIPFragmentOffset(int64_t n) { return store_detail::word(store_detail::columns.ipFragmentOffset[packetSlot(n)]); }
inline uint8_t getTTL(int64_t n) { return store_detail::columns.ipTTL[packetSlot(n)]; }
inline uint8_t getIPProtocol(int64_t n) { return store_detail::columns.ipProtocol[packetSlot(n)]; }
inline int32_t getIPHeaderChecksum(int64_t n) { return store_detail::word(store_detail::columns.ipHeaderChecksum[packetSlot(n)]); }
std::string getSourceIP(int64_t n);
std::string getDestIP(int64_t n);
// Octet k = 1..4, 1 being the first on the wire; another k reads 0.
inline uint8_t getSourceIPByte(int64_t n, int k) { return (k < 1 || k > 4) ? 0 : store_detail::columns.ipSource[packetSlot(n)][k - 1]; }
inline uint8_t getDestIPByte(int64_t n, int k) { return (k < 1 || k > 4) ? 0 : store_detail::columns.ipDest[packetSlot(n)][k - 1]; }
inline int32_t getTCPSourcePort(int64_t n) { return store_detail::word(store_detail::columns.tcpSourcePort[packetSlot(n)]); }
inline int32_t getTCPDestPort(int64_t n) { return store_detail::word(store_detail::columns.tcpDestPort[packetSlot(n)]); }
inline int32_t getUDPSourcePort(int64_t n) { return store_detail::word(store_detail::columns.udpSourcePort[packetSlot(n)]); }
inline int32_t getUDPDestPort(int64_t n) { return store_detail::word(store_detail::columns.udpDestPort[packetSlot(n)]); }

// Setters, used only by the decoder.
inline void setEthertype(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.etherType[packetSlot(n)] = {hi, lo}; }
inline void setIPVersion(int64_t n, uint8_t b) { store_detail::columns.ipVersion[packetSlot(n)] = b >> 4; }
inline void setIPHeaderLen(int64_t n, uint8_t b) { store_detail::columns.ipHeaderLen[packetSlot(n)] = b & 15; }
inline void setIPDiffServices(int64_t n, uint8_t b) { store_detail::columns.ipDiffServices[packetSlot(n)] = b; }
inline void setIPTotalLength(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.ipTotalLength[packetSlot(n)] = {hi, lo}; }
inline void setIPIdentification(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.ipIdentification[packetSlot(n)] = {hi, lo}; }
inline void setIPFlags(int64_t n, uint8_t b)
{
    const int32_t s = packetSlot(n);
    store_detail::columns.ipFlagReserved[s] = (b & 0x80) != 0;
    store_detail::columns.ipFlagDF[s] = (b & 0x40) != 0;
    store_detail::columns.ipFlagMF[s] = (b & 0x20) != 0;
}
inline void setIPFragmentOffset(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.ipFragmentOffset[packetSlot(n)] = {uint8_t(hi & 31), lo}; }
inline void setTTL(int64_t n, uint8_t b) { store_detail::columns.ipTTL[packetSlot(n)] = b; }
inline void setIPProtocol(int64_t n, uint8_t b) { store_detail::columns.ipProtocol[packetSlot(n)] = b; }
inline void setIPHeaderChecksum(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.ipHeaderChecksum[packetSlot(n)] = {hi, lo}; }
inline void setSourceIP(int64_t n, uint8_t a, uint8_t b, uint8_t c, uint8_t d) { store_detail::columns.ipSource[packetSlot(n)] = {a, b, c, d}; }
inline void setDestIP(int64_t n, uint8_t a, uint8_t b, uint8_t c, uint8_t d) { store_detail::columns.ipDest[packetSlot(n)] = {a, b, c, d}; }
inline void setTCPSourcePort(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.tcpSourcePort[packetSlot(n)] = {hi, lo}; }
inline void setTCPDestPort(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.tcpDestPort[packetSlot(n)] = {hi, lo}; }
inline void setUDPSourcePort(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.udpSourcePort[packetSlot(n)] = {hi, lo}; }
inline void setUDPDestPort(int64_t n, uint8_t hi, uint8_t lo) { store_detail::columns.udpDestPort[packetSlot(n)] = {hi, lo}; }
