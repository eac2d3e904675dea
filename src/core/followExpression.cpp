#include "followExpression.h"

#include <cstdio>

#include "accessors.h"

namespace {
constexpr int kEtherDestination = 0, kEtherSource = 6;

std::string etherAddress(int64_t n, int at)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", getPacketByte(n, at), getPacketByte(n, at + 1),
                  getPacketByte(n, at + 2), getPacketByte(n, at + 3), getPacketByte(n, at + 4), getPacketByte(n, at + 5));
    return text;
}

// "(src A and dst B...) or (src B and dst A...)": the conversation both ways.
std::string bothWays(const std::string& a, const std::string& b, const std::string& aToB, const std::string& bToA)
{
    return "(" + a + " and " + b + aToB + ") or (" + bToA + ")";
}
}

std::string followExpression(Follow follow, int64_t n)
{
    const bool ipv4 = getEthertype(n) == 0x0800 && getIPVersion(n) == 4;
    if (!ipv4) {
        const std::string source = etherAddress(n, kEtherSource), destination = etherAddress(n, kEtherDestination);
        switch (follow) {
        case Follow::SourceHost: return "ether host " + source;
        case Follow::DestinationHost: return "ether host " + destination;
        case Follow::Conversation:
            return bothWays("ether src " + source, "ether dst " + destination, "",
                            "ether src " + destination + " and ether dst " + source);
        }
    }
    const std::string source = getSourceIP(n), destination = getDestIP(n);
    switch (follow) {
    case Follow::SourceHost: return "host " + source;
    case Follow::DestinationHost: return "host " + destination;
    case Follow::Conversation: break;
    }
    // A later fragment carries no ports: its conversation is that of its addresses.
    const int protocol = getIPProtocol(n);
    const bool ports = (protocol == 6 || protocol == 17) && getIPFragmentOffset(n) == 0;
    if (!ports)
        return bothWays("src host " + source, "dst host " + destination, "",
                        "src host " + destination + " and dst host " + source);
    const std::string sourcePort = std::to_string(protocol == 6 ? getTCPSourcePort(n) : getUDPSourcePort(n));
    const std::string destinationPort = std::to_string(protocol == 6 ? getTCPDestPort(n) : getUDPDestPort(n));
    // Ports alone would also take in the other protocol's packets between the same ports.
    return std::string(protocol == 6 ? "tcp" : "udp") + " and (" +
           bothWays("src host " + source, "dst host " + destination,
                    " and src port " + sourcePort + " and dst port " + destinationPort,
                    "src host " + destination + " and dst host " + source + " and src port " + destinationPort +
                        " and dst port " + sourcePort) +
           ")";
}
