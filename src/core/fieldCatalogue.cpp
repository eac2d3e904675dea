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

int32_t word(const Octets2& o) { return 256 * int32_t(o[0]) + int32_t(o[1]); }

int32_t valueOf(int field, const FrameHeaders& h)
{
    switch (Field(field)) {
    case PacketLength: return h.packetLength;
    case Protocol: return h.ipProtocol;
    case SourceIP: return h.ipSource[0] * 256 + h.ipSource[1];
    case DestIP: return h.ipDest[0] * 256 + h.ipDest[1];
    case TTL: return h.ipTTL;
    case HeaderLen: return h.ipHeaderLen;
    case Version: return h.ipVersion;
    case Ethertype: return word(h.etherType);
    case TcpSourcePort: return word(h.tcpSourcePort);
    case TcpDestPort: return word(h.tcpDestPort);
    case UdpSourcePort: return word(h.udpSourcePort);
    case UdpDestPort: return word(h.udpDestPort);
    case DiffServices: return h.ipDiffServices;
    case TotalLength: return word(h.ipTotalLength);
    case Identification: return word(h.ipIdentification);
    case Flags: return (h.ipFlagReserved ? 4 : 0) + (h.ipFlagDF ? 2 : 0) + (h.ipFlagMF ? 1 : 0);
    case FragmentOffset: return word(h.ipFragmentOffset);
    case HeaderChecksum: return word(h.ipHeaderChecksum);
    }
    return 0;
}

std::string labelOf(int field, const FrameHeaders& h, int32_t value, ProtocolLabel style)
{
    switch (field) {
    case Protocol:
        return style == ProtocolLabel::Keyword ? std::string(protocolName(value)) : std::to_string(value);
    case SourceIP: return dottedAddress(h.ipSource);
    case DestIP: return dottedAddress(h.ipDest);
    case Ethertype: return ethertypeHex(value);
    case Flags: {
        std::string words;
        if (h.ipFlagReserved) words += "reserved";
        if (h.ipFlagDF) words += "DF";
        if (h.ipFlagMF) words += "MF";
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

FieldSample evaluateField(int field, const FrameHeaders& headers, ProtocolLabel style)
{
    FieldSample sample;
    if (!isField(field)) return sample;
    sample.selected = true;
    sample.value = valueOf(field, headers);
    sample.label = labelOf(field, headers, sample.value, style);
    return sample;
}

int32_t fieldValue(int field, const FrameHeaders& headers) { return isField(field) ? valueOf(field, headers) : 0; }

FieldSample evaluateField(int field, int64_t packet, ProtocolLabel style)
{
    return evaluateField(field, headersOf(packet), style);
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
