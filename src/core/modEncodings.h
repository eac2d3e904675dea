#pragma once
// The protocol settings: which classes of packet are hidden from the views and
// the colour each class is drawn in. Plain data, edited by the "filters"
// window and read by the filter and every view.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/colorRef.h"

// The six classes an IP protocol number falls into, in the order of the
// "filters" window's transport toggles.
enum class ProtocolClass { Tcp, Udp, Icmp, Igmp, OtherLegal, Unassigned };
constexpr int kProtocolClasses = 6;

// ICMP 1, IGMP 2, TCP 6, UDP 17, unassigned 138..252, every other number "other legal".
ProtocolClass classify(int protocol);

// The check boxes of the "filters" window, in its order: SYN (TCP, SYN set,
// ACK clear), SYN/ACK (both set), ACK (ACK set, SYN clear), Slammer (UDP to
// or from port 1434), Messenger Spam (UDP to port 1026 or 1027) and echo
// request (ICMP type 8).
enum class PacketMatch { TcpSyn, TcpSynAck, TcpAck, Slammer, MessengerSpam, EchoRequest };
constexpr int kPacketMatches = 6;

struct ProtocolSettings {
    std::array<bool, kProtocolClasses> hidden{};   // all shown
    // While any is ticked, only packets matching a ticked one are shown.
    std::array<bool, kPacketMatches> onlyMatching{};
    bool hideNonIPv4 = false;   // "Ethernet" down: frames that are not IPv4
    bool hideIPv4 = false;      // "IP" down: IPv4 packets
    std::array<ColorRef, kProtocolClasses> classColor = defaultClassColors();
    ColorRef etherColor = rgb(128, 255, 128);
    ColorRef ipColor = rgb(0, 128, 0);

    static constexpr std::array<ColorRef, kProtocolClasses> defaultClassColors()
    {
        // TCP, UDP, ICMP, IGMP, other legal, unassigned: ICMP and IGMP share blue.
        return {rgb(0, 255, 0), rgb(255, 128, 0), rgb(0, 0, 255), rgb(0, 0, 255), rgb(255, 255, 128),
                rgb(255, 128, 128)};
    }

    bool& hides(ProtocolClass c) { return hidden[size_t(c)]; }
    bool& onlyShows(PacketMatch m) { return onlyMatching[size_t(m)]; }
    ColorRef& color(ProtocolClass c) { return classColor[size_t(c)]; }
    // Every class shown again, every check box clear and every colour but the
    // Ethernet and IP ones back to the default (they keep theirs).
    void resetClasses();
};

// The program's one set of protocol settings.
ProtocolSettings& protocolSettings();

// The colour a view draws a packet of this IP protocol number (0..255) in.
ColorRef encodingColor(int protocol);
