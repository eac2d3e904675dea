#include "modFilters.h"

#include <algorithm>

#include "core/accessors.h"
#include "core/showOnly.h"

namespace {
constexpr int kEthernetHeader = 14;
constexpr uint8_t kSyn = 0x02, kAck = 0x10;

bool isIPv4(int64_t n) { return getEthertype(n) == 0x0800 && getIPVersion(n) == 4; }
}

bool packetMatches(PacketMatch match, int64_t n)
{
    if (!isIPv4(n) || getIPHeaderLen(n) < 5 || getIPFragmentOffset(n) != 0) return false;
    const int t = kEthernetHeader + 4 * getIPHeaderLen(n);   // the transport header
    const int lastIndex = getPacketLength(n);
    auto word = [&](int at) { return 256 * getPacketByte(n, at) + getPacketByte(n, at + 1); };
    auto tcpFlags = [&](uint8_t wanted) {
        return getIPProtocol(n) == 6 && t + 13 <= lastIndex && (getPacketByte(n, t + 13) & (kSyn | kAck)) == wanted;
    };
    const bool udpPorts = getIPProtocol(n) == 17 && t + 3 <= lastIndex;
    switch (match) {
    case PacketMatch::TcpSyn: return tcpFlags(kSyn);
    case PacketMatch::TcpSynAck: return tcpFlags(kSyn | kAck);
    case PacketMatch::TcpAck: return tcpFlags(kAck);
    case PacketMatch::Slammer: return udpPorts && (word(t) == 1434 || word(t + 2) == 1434);
    case PacketMatch::MessengerSpam: return udpPorts && (word(t + 2) == 1026 || word(t + 2) == 1027);
    case PacketMatch::EchoRequest: return getIPProtocol(n) == 1 && t <= lastIndex && getPacketByte(n, t) == 8;
    }
    return false;
}

bool filterPacket(int64_t n)
{
    ProtocolSettings& s = protocolSettings();
    if (isIPv4(n) ? s.hideIPv4 : s.hideNonIPv4) return true;
    if (s.hides(classify(getIPProtocol(n)))) return true;
    if (std::any_of(s.onlyMatching.begin(), s.onlyMatching.end(), [](bool ticked) { return ticked; })) {
        bool matched = false;
        for (int m = 0; m < kPacketMatches && !matched; ++m)
            matched = s.onlyMatching[size_t(m)] && packetMatches(PacketMatch(m), n);
        if (!matched) return true;
    }
    // Last: the toggles and check boxes are cheaper than running the expression.
    return !showOnlyMatches(n);
}
