#include "fieldCatalogue.h"

#include "accessors.h"
#include "modLookUp.h"

namespace {
enum Field {
    PacketLength, Protocol, SourceIP, DestIP, TTL, HeaderLen, Version, Ethertype,
    TcpSourcePort, TcpDestPort, UdpSourcePort, UdpDestPort, DiffServices, TotalLength,
    Identification, Flags, FragmentOffset, HeaderChecksum,
};

constexpr std::array<int32_t, kFieldCount> kRanges = {
    1518, 256, 65536, 65536, 256, 16, 16, 65536, 65536, 65536, 65536, 65536, 256, 65536, 65536, 8, 8192, 65536,
};

bool isField(int field) { return field >= 0 && field < kFieldCount; }

int32_t valueOf(int field, int64_t n)
{
    switch (Field(field)) {
    case PacketLength: return getPacketLength(n);
    case Protocol: return getIPProtocol(n);
    case SourceIP: return getSourceIPByte(n, 1) * 256 + getSourceIPByte(n, 2);
    case DestIP: return getDestIPByte(n, 1) * 256 + getDestIPByte(n, 2);
    case TTL: return getTTL(n);
    case HeaderLen: return getIPHeaderLen(n);
    case Version: return getIPVersion(n);
    case Ethertype: return getEthertype(n);
    case TcpSourcePort: return getTCPSourcePort(n);
    case TcpDestPort: return getTCPDestPort(n);
    case UdpSourcePort: return getUDPSourcePort(n);
    case UdpDestPort: return getUDPDestPort(n);
    case DiffServices: return getIPDiffServices(n);
    case TotalLength: return getIPTotalLength(n);
    case Identification: return getIPIdentification(n);
    case Flags: return (getIPFlagReserved(n) ? 4 : 0) + (getIPFlagDF(n) ? 2 : 0) + (getIPFlagMF(n) ? 1 : 0);
    case FragmentOffset: return getIPFragmentOffset(n);
    case HeaderChecksum: return getIPHeaderChecksum(n);
    }
    return 0;
}

std::string labelOf(int field, int64_t n, int32_t value, ProtocolLabel style)
{
    switch (field) {
    case Protocol:
        return style == ProtocolLabel::Keyword ? std::string(protocolName(value)) : std::to_string(value);
    case SourceIP: return getSourceIP(n);
    case DestIP: return getDestIP(n);
    case Ethertype: return getEthertypeHex(n);
    case Flags: {
        std::string words;
        if (getIPFlagReserved(n)) words += "reserved";
        if (getIPFlagDF(n)) words += "DF";
        if (getIPFlagMF(n)) words += "MF";
        return words;
    }
    default: return std::to_string(value);
    }
}
}

const std::array<const char*, kFieldCount>& fieldNames()
{
    static const std::array<const char*, kFieldCount> names = {
        "packet length", "IP Transport Protocol", "Source IP", "Dest IP", "TTL", "IP Header Len",
        "IP Version", "Ethertype", "TCP Source Port", "TCP Dest Port", "UDP Source Port",
        "UDP Dest Port", "IP Diff Services", "IP Total Length", "IP Identification", "IP Flags",
        "IP Fragment Offset", "IP Header Checksum",
    };
    return names;
}

FieldSample evaluateField(int field, int64_t packet, ProtocolLabel style)
{
    FieldSample sample;
    if (!isField(field)) return sample;
    sample.selected = true;
    sample.value = valueOf(field, packet);
    sample.label = labelOf(field, packet, sample.value, style);
    return sample;
}

int32_t fieldRange(int field) { return isField(field) ? kRanges[size_t(field)] : 0; }

double scaleRange(double actualValue, double maxRange, double displayValue)
{
    if (displayValue <= 0 || maxRange <= 0) return 0;
    const double ratio = actualValue / maxRange;
    return displayValue - displayValue * ratio;
}

double scaleRangeHorizontal(double actualValue, double maxRange, double displayValue)
{
    if (displayValue <= 0 || maxRange <= 0) return 0;
    return displayValue * (actualValue / maxRange);
}
