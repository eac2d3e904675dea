#include "modEncodings.h"

#include "core/modLookUp.h"

// Start-up replaces these with the swatch colours; until then they hold the same defaults.
ColorRef etherColor = rgb(128, 255, 128);
ColorRef ipColor = rgb(0, 128, 0);
ColorRef tcpColor = rgb(0, 255, 0);
ColorRef udpColor = rgb(255, 128, 0);
ColorRef icmpColor = rgb(0, 0, 255);
ColorRef igmpColor = rgb(0, 0, 255);
ColorRef otherTransportColor = rgb(255, 255, 128);
ColorRef unassignedTransportColor = rgb(255, 128, 128);

ColorRef encodingColor(int protocol)
{
    const std::string_view keyword = protocolName(protocol);
    if (keyword == "UDP") return udpColor;
    if (keyword == "TCP") return tcpColor;
    if (keyword == "ICMP") return icmpColor;
    if (keyword == "IGMP") return igmpColor;
    if (keyword == "Unassigned") return unassignedTransportColor;
    return otherTransportColor;
}
