#include "modLookUp.h"

#include <array>

namespace {
// Assigned protocol numbers 0..137, spelled as this program shows them.
constexpr std::array<std::string_view, 138> kAssigned = {
    "HOPOPT", "ICMP", "IGMP", "GGP", "IP", "ST", "TCP", "CBT", "EGP", "IGP", "BBN-RCC-MON",
    "NVP-II", "PUP", "ARGUS", "EMCON", "XNET", "Chaos", "UDP", "MUX", "DCN-MEAS", "HMP", "PRM",
    "XNS-IDP", "TRUNK-1", "TRUNK-2", "LEAF-1", "LEAF-2", "RDP", "IRTP", "ISO-TP4", "NETBLT",
    "MFE-NSP", "MERIT-INP", "SEP", "3PC", "IDPR", "XTP", "DDP", "IDPR-CMTP", "TP++", "IL",
    "IPv6", "SDRP", "IPv6-Route", "IPv6-Frag", "IDRP", "RSVP", "GRE", "MHRP", "BNA", "ESP",
    "AH", "I-NLSP", "SWIPE", "NARP", "MOBILE", "TLSP", "Skip", "IPv6-ICMP", "IPv6-NoNxt",
    "IPv6-Opts", "Host Internal", "CFTP", "Any Local", "SAT-EXPAK", "Kryptolan", "RVD", "IPPC",
    "Any Distributed", "SAT-MON", "VISA", "IPCV", "CPNX", "CPHB", "WSN", "PVP", "BR-SAT-MON",
    "SUN-ND", "WB-MON", "WB-EXPAK", "ISO-IP", "VMTP", "SECURE-VMTP", "VINES", "TTP",
    "NSFNET-IGP", "DGP", "TCF", "EIGRP", "OSPFIGP", "Sprite-RPC", "LARP", "MTP", "AX.25",
    "IPIP", "MICP", "SCC-SP", "ETHERIP", "ENCAP", "Private Encrypt", "GMTP", "IFMP", "PNNI",
    "PIM", "ARIS", "SCPS", "QNX", "A/N", "IPComp", "SNP", "Compaq-Peer", "IPX-in-IP", "VRRP",
    "PGM", "0-hop", "L2TP", "DDX", "IATP", "STP", "SRP", "UTI", "SMP", "SM", "PTP",
    "ISIS over IPv4", "FIRE", "CRTP", "CRUDP", "SSCOPMCE", "IPLT", "SPS", "PIPE", "SCTP", "FC",
    "RSVP-E2E-IGNORE", "Mobility Header", "UDPLite", "MPLS-in-IP",
};
}

std::string_view protocolName(int32_t protocol)
{
    if (protocol >= 0 && protocol <= 137) return kAssigned[size_t(protocol)];
    if (protocol >= 138 && protocol <= 252) return "Unassigned";
    if (protocol == 253 || protocol == 254) return "Experimental";
    if (protocol == 255) return "Reserved";
    return "";
}
