#include "modEncodings.h"

ProtocolClass classify(int protocol)
{
    switch (protocol) {
    case 1: return ProtocolClass::Icmp;
    case 2: return ProtocolClass::Igmp;
    case 6: return ProtocolClass::Tcp;
    case 17: return ProtocolClass::Udp;
    default: return protocol >= 138 && protocol <= 252 ? ProtocolClass::Unassigned : ProtocolClass::OtherLegal;
    }
}

void ProtocolSettings::resetClasses()
{
    hidden = {};
    onlyMatching = {};
    hideNonIPv4 = hideIPv4 = false;
    classColor = defaultClassColors();
}

ProtocolSettings& protocolSettings()
{
    static ProtocolSettings settings;
    return settings;
}

ColorRef encodingColor(int protocol) { return protocolSettings().color(classify(protocol)); }
