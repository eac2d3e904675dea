#include "linkHeader.h"

#include <algorithm>
#include <cstring>

#include "frameSource.h"

namespace {
constexpr uint16_t kIpv4Type = 0x0800, kIpv6Type = 0x86DD;
constexpr uint16_t kFirstEthertype = 0x0600;   // smaller values in an Ethernet header are 802.3 lengths
constexpr uint16_t kMaxDot3Length = 1500;

struct OldHeader {
    size_t bytes = 0;         // the link header's length
    uint16_t protocol = 0;    // the Ethertype it names (0 when none is known)
    const uint8_t* source = nullptr;   // a 6-byte hardware address, if the header has one
    bool known = false;       // the header was complete and named its protocol
};

uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

uint16_t typeOfIpVersion(const uint8_t* p, size_t size)
{
    if (size == 0) return 0;
    const int version = p[0] >> 4;
    return version == 4 ? kIpv4Type : version == 6 ? kIpv6Type : 0;
}

// Address families as BSD loopback headers keep them: IPv4 is 2 everywhere,
// IPv6 differs by system (Linux 10, NetBSD/OpenBSD 24, FreeBSD 28, Darwin 30).
uint16_t typeOfFamily(uint32_t family)
{
    if (family == 2) return kIpv4Type;
    if (family == 10 || family == 24 || family == 28 || family == 30) return kIpv6Type;
    return 0;
}

OldHeader headerOf(int linkType, const uint8_t* p, size_t size)
{
    OldHeader h;
    switch (linkType) {
    case link_type::kLinuxCooked:   // packet type, ARPHRD type, address length, 8 address bytes, protocol
        h.bytes = 16;
        if (size < h.bytes) return h;
        h.protocol = be16(p + 14);
        if (be16(p + 4) == 6) h.source = p + 6;
        break;
    case link_type::kLinuxCooked2:   // protocol, reserved, interface, ARPHRD type, packet type, address length, 8 address bytes
        h.bytes = 20;
        if (size < h.bytes) return h;
        h.protocol = be16(p);
        if (p[11] == 6) h.source = p + 12;
        break;
    case link_type::kRawLinux:
    case link_type::kRaw:
    case link_type::kIpv4:
    case link_type::kIpv6:
        h.protocol = typeOfIpVersion(p, size);
        break;
    case link_type::kNull:
    case link_type::kLoop: {
        h.bytes = 4;
        if (size < h.bytes) return h;
        uint32_t family;
        std::memcpy(&family, p, 4);
        if (linkType == link_type::kLoop) family = __builtin_bswap32(family);   // network order on a little-endian host
        // Written in the capturing host's order: a family in the high bytes was the other order.
        if (linkType == link_type::kNull && family > 0xFFFF) family = __builtin_bswap32(family);
        h.protocol = typeOfFamily(family);
        break;
    }
    default: break;
    }
    h.known = h.protocol != 0;
    return h;
}
}

EthernetFrame asEthernet(int linkType, const uint8_t* bytes, size_t size, std::vector<uint8_t>& scratch)
{
    EthernetFrame out;
    if (linkType == link_type::kEthernet) {
        out.data = bytes;
        out.size = size;
        return out;
    }
    if (!shownAsEthernet(linkType)) {
        out.refusal = linkTypeText(linkType);
        return out;
    }
    const OldHeader old = headerOf(linkType, bytes, size);
    // A frame cut inside its link header keeps what the header held: nothing of the packet.
    const size_t payload = size > old.bytes ? size - old.bytes : 0;
    scratch.resize(kEthernetHeaderBytes + payload);
    uint8_t* e = scratch.data();
    std::memset(e, 0, kEthernetHeaderBytes);
    if (old.source) std::memcpy(e + 6, old.source, 6);
    // A cooked header's protocol below 0x0600 is no Ethertype (802.2 LLC, Novell 802.3, CAN, ...):
    // as in an 802.3 frame, the header then holds the payload's length.
    const uint16_t type = old.protocol >= kFirstEthertype || !old.known
                              ? old.protocol
                              : uint16_t(std::min<size_t>(payload, kMaxDot3Length));
    e[12] = uint8_t(type >> 8);
    e[13] = uint8_t(type);
    if (payload > 0) std::memcpy(e + kEthernetHeaderBytes, bytes + old.bytes, payload);
    out.data = e;
    out.size = scratch.size();
    out.grownBy = int64_t(out.size) - int64_t(size);
    return out;
}

bool shownAsEthernet(int linkType)
{
    return linkType == link_type::kEthernet || !replacedHeaderName(linkType).empty();
}

std::string replacedHeaderName(int linkType)
{
    switch (linkType) {
    case link_type::kLinuxCooked: return "Linux cooked v1";
    case link_type::kLinuxCooked2: return "Linux cooked v2";
    case link_type::kRawLinux:
    case link_type::kRaw: return "raw IP";
    case link_type::kIpv4: return "raw IPv4";
    case link_type::kIpv6: return "raw IPv6";
    case link_type::kNull: return "BSD loopback";
    case link_type::kLoop: return "OpenBSD loopback";
    default: return {};
    }
}

std::string replacedHeaderNote(int linkType)
{
    const std::string name = replacedHeaderName(linkType);
    return name.empty() ? name : name + ", header replaced";
}

uint32_t wireLengthAfter(uint32_t wire, int64_t grownBy, size_t size)
{
    const int64_t grown = int64_t(wire) + grownBy;
    return uint32_t(std::clamp<int64_t>(grown, int64_t(size), UINT32_MAX));
}

std::string ReplacedHeaders::text() const
{
    std::string text;
    for (const auto& [linkType, count] : frames)
        text += (text.empty() ? "" : "; ") + replacedHeaderNote(linkType) + " (" + std::to_string(count) + " frame"
                + (count == 1 ? ")" : "s)");
    return text;
}
