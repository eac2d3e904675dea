#include "accessors.h"

#include <cstdio>

namespace {
std::string dotted(const Octets4& o)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", o[0], o[1], o[2], o[3]);
    return text;
}
}

std::string getEthertypeHex(int64_t n)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", unsigned(getEthertype(n)));
    return text;
}

std::string getSourceIP(int64_t n) { return dotted(store_detail::columns.ipSource[packetSlot(n)]); }
std::string getDestIP(int64_t n) { return dotted(store_detail::columns.ipDest[packetSlot(n)]); }
