#pragma once
// Frames of other link types stored as Ethernet frames. Linux cooked captures
// (v1 and v2, what `tcpdump -i any` records), raw IPv4/IPv6 (tunnels, VPNs)
// and BSD loopback carry the same network-layer packets behind a different
// header, or none: that header is replaced by a 14-byte Ethernet header (the
// protocol type from the old header, or from the IP version for raw IP; the
// source address from a cooked header that has one, zeros otherwise; the
// destination zero), so every decoder sees an ordinary Ethernet frame.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

constexpr int kEthernetHeaderBytes = 14;

// Link type numbers as libpcap hands them over or a capture file keeps them.
namespace link_type {
constexpr int kNull = 0;            // BSD loopback: the address family in the capturing host's byte order
constexpr int kEthernet = 1;
constexpr int kRawLinux = 12;       // libpcap's DLT_RAW on Linux (the file's 101)
constexpr int kRaw = 101;           // LINKTYPE_RAW as a file keeps it
constexpr int kLoop = 108;          // OpenBSD loopback: the family in network byte order
constexpr int kLinuxCooked = 113;
constexpr int kIpv4 = 228;
constexpr int kIpv6 = 229;
constexpr int kLinuxCooked2 = 276;
constexpr int kIeee80211Radiotap = 127;
}

// What became of one frame: the Ethernet frame (in the input when it was
// Ethernet already, else in the scratch buffer), or null with the refusal.
struct EthernetFrame {
    const uint8_t* data = nullptr;
    size_t size = 0;
    int64_t grownBy = 0;       // what the frame's length changed by; its wire length changes as much
    std::string refusal;       // empty unless refused: the link type's name, "IEEE802_11_RADIO (...)"

    bool refused() const { return data == nullptr; }
};

// The one conversion. `scratch` is the caller's and is reused frame after frame.
EthernetFrame asEthernet(int linkType, const uint8_t* bytes, size_t size, std::vector<uint8_t>& scratch);

// Whether frames of the link type can be stored (as Ethernet or converted).
bool shownAsEthernet(int linkType);
// "Linux cooked v2" for a link type whose header is replaced; empty for Ethernet and refused types.
std::string replacedHeaderName(int linkType);
// "Linux cooked v2, header replaced", or empty: what the detail view and `info` say.
std::string replacedHeaderNote(int linkType);
// A wire length after the frame grew (or shrank) by `grownBy`, never below the frame.
uint32_t wireLengthAfter(uint32_t wire, int64_t grownBy, size_t size);

// Frames whose header was replaced, counted by their link type: what `info`
// and `convert` tell.
struct ReplacedHeaders {
    std::map<int, int64_t> frames;

    void count(int linkType)
    {
        if (linkType != link_type::kEthernet) ++frames[linkType];
    }
    // "Linux cooked v2, header replaced (12 frames); raw IP, header replaced (3 frames)", or empty.
    std::string text() const;
};
