#include "accessors.h"

#include <cstdio>

std::string dottedAddress(const Octets4& o)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", o[0], o[1], o[2], o[3]);
    return text;
}

std::string ethertypeHex(int32_t ethertype)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", unsigned(ethertype));
    return text;
}

std::string getEthertypeHex(int64_t n) { return ethertypeHex(getEthertype(n)); }
std::string getSourceIP(int64_t n) { return dottedAddress(store_detail::columns.ipSource[packetSlot(n)]); }
std::string getDestIP(int64_t n) { return dottedAddress(store_detail::columns.ipDest[packetSlot(n)]); }

FrameHeaders headersOf(int64_t n)
{
    const PacketColumns& c = store_detail::columns;
    const int32_t s = packetSlot(n);
    FrameHeaders h;
    h.packetLength = c.packetLength[s];
    h.etherType = c.etherType[s];
    h.ipVersion = c.ipVersion[s];
    h.ipHeaderLen = c.ipHeaderLen[s];
    h.ipDiffServices = c.ipDiffServices[s];
    h.ipTotalLength = c.ipTotalLength[s];
    h.ipIdentification = c.ipIdentification[s];
    h.ipFlagReserved = c.ipFlagReserved[s] != 0;
    h.ipFlagDF = c.ipFlagDF[s] != 0;
    h.ipFlagMF = c.ipFlagMF[s] != 0;
    h.ipFragmentOffset = c.ipFragmentOffset[s];
    h.ipTTL = c.ipTTL[s];
    h.ipProtocol = c.ipProtocol[s];
    h.ipHeaderChecksum = c.ipHeaderChecksum[s];
    h.ipSource = c.ipSource[s];
    h.ipDest = c.ipDest[s];
    h.tcpSourcePort = c.tcpSourcePort[s];
    h.tcpDestPort = c.tcpDestPort[s];
    h.udpSourcePort = c.udpSourcePort[s];
    h.udpDestPort = c.udpDestPort[s];
    return h;
}
