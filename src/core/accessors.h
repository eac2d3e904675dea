#pragma once
// Field accessors: the only way the rest of the program reads the store.
// Each takes a packet number (or a slot number, which maps to itself).
// Readers are direct indexed reads; only the three text readers allocate.
#include <cstdint>
#include <string>

#include "modLibrary.h"
#include "modProcess.h"

namespace store_detail {
inline int32_t word(const Octets2& o) { return 256 * int32_t(o[0]) + int32_t(o[1]); }
}

inline int getPacketLength(int64_t n) { return store_detail::columns.packetLength[packetSlot(n)]; }
// When the packet was captured; kNoTime when its file kept no time.
inline CaptureTime getCaptureTime(int64_t n) { return store_detail::columns.captureTime[packetSlot(n)]; }
// How many bytes the packet had on the wire: at least the stored ones, more
// when its capture was cut short or it was longer than a slot.
inline uint32_t getWireLength(int64_t n) { return store_detail::columns.wireLength[packetSlot(n)]; }

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

// Everything the store keeps of packet n but its bytes.
FrameHeaders headersOf(int64_t n);

// "10.0.0.1"; an Ethertype as "0x800".
std::string dottedAddress(const Octets4& address);
std::string ethertypeHex(int32_t ethertype);
