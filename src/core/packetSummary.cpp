#include "packetSummary.h"

#include "core/accessors.h"
#include "core/modLibrary.h"
#include "core/modLookUp.h"

namespace {
constexpr int kTcp = 6, kUdp = 17;
}

std::string packetSummary(int64_t packet)
{
    std::string s = "Packet " + std::to_string(packet);
    if (packet < firstHeldPacket() || packet > getPacketCount()) return s + "  (not held)";
    const int protocol = getIPProtocol(packet);
    const bool tcp = protocol == kTcp, udp = protocol == kUdp;
    const auto port = [&](bool source) {
        if (tcp) return ":" + std::to_string(source ? getTCPSourcePort(packet) : getTCPDestPort(packet));
        if (udp) return ":" + std::to_string(source ? getUDPSourcePort(packet) : getUDPDestPort(packet));
        return std::string();
    };
    const std::string_view keyword = protocolName(protocol);
    s += "  " + (keyword.empty() ? std::to_string(protocol) : std::string(keyword));
    s += "  " + getSourceIP(packet) + port(true) + " > " + getDestIP(packet) + port(false);
    // The length as the field views show it ("Packet Length").
    return s + "  length " + std::to_string(getPacketLength(packet));
}
