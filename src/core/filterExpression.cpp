#include "filterExpression.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "frameSource.h"

struct FilterExpression::Program {
    bpf_program code{};
    ~Program() { pcap_freecode(&code); }
};

namespace {
// Bytes a frame may hold: the largest snapshot length tcpdump uses, so that
// `ip[...]` tests far into a frame compile as they do there.
constexpr int kSnapshotLength = 262144;

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}
}

std::optional<FilterExpression> FilterExpression::compile(const std::string& text, std::string& error)
{
    FilterExpression expression;
    expression.text_ = trimmed(text);
    if (expression.text_.empty()) return expression;

    pcap_t* dead = pcap_open_dead(DLT_EN10MB, kSnapshotLength);
    if (!dead) {
        error = "libpcap could not prepare a filter";
        return std::nullopt;
    }
    auto program = std::make_shared<Program>();
    // Optimised as tcpdump does; no netmask, so `ip broadcast` is refused by libpcap with its reason.
    const int status = pcap_compile(dead, &program->code, expression.text_.c_str(), 1, PCAP_NETMASK_UNKNOWN);
    if (status != 0) error = pcap_geterr(dead);
    pcap_close(dead);
    if (status != 0) {
        program->code = {};   // nothing was allocated to free
        return std::nullopt;
    }
    expression.program_ = std::move(program);
    return expression;
}

bool FilterExpression::matches(const uint8_t* frame, uint32_t captured, uint32_t wireLength) const
{
    if (!program_) return true;
    pcap_pkthdr header{};
    header.caplen = captured;
    header.len = std::max(wireLength, captured);
    return pcap_offline_filter(&program_->code, &header, frame) != 0;
}

bool frameMatches(const FilterExpression& expression, const SourceFrame& frame)
{
    return expression.matches(frame.data, uint32_t(frame.size), frame.stamp ? frame.stamp->wireLength : uint32_t(frame.size));
}

bool mayLookUpNames(const std::string& text)
{
    // libpcap's words and named constants; anything else it takes for a name to look up.
    static const std::set<std::string> keywords = {
        "dst", "src", "host", "net", "mask", "netmask", "port", "portrange", "proto", "protochain", "gateway",
        "less", "greater", "len", "length", "byte", "broadcast", "multicast", "and", "or", "not", "inbound",
        "outbound", "vlan", "mpls", "pppoed", "pppoes", "geneve", "vxlan", "llc", "ifindex",
        "link", "ether", "ppp", "slip", "fddi", "tr", "wlan", "arp", "rarp", "ip", "ip6", "tcp", "udp", "icmp",
        "icmp6", "igmp", "igrp", "pim", "vrrp", "carp", "sctp", "ah", "esp", "atalk", "aarp", "decnet", "lat",
        "sca", "moprc", "mopdl", "iso", "esis", "isis", "clnp", "stp", "ipx", "netbeui", "radio",
        "icmptype", "icmpcode", "icmp6type", "icmp6code", "tcpflags",
        "icmp-echoreply", "icmp-unreach", "icmp-sourcequench", "icmp-redirect", "icmp-echo", "icmp-routeradvert",
        "icmp-routersolicit", "icmp-timxceed", "icmp-paramprob", "icmp-tstamp", "icmp-tstampreply",
        "icmp-ireq", "icmp-ireqreply", "icmp-maskreq", "icmp-maskreply",
        "icmp6-echo", "icmp6-echoreply", "icmp6-destinationunreach", "icmp6-packettoobig", "icmp6-timeexceeded",
        "icmp6-parameterproblem", "icmp6-routersolicit", "icmp6-routeradvert", "icmp6-neighborsolicit",
        "icmp6-neighboradvert", "icmp6-redirect",
        "tcp-fin", "tcp-syn", "tcp-rst", "tcp-push", "tcp-ack", "tcp-urg", "tcp-ece", "tcp-cwr",
    };
    for (size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (!std::isalpha(c) && c != '_') {
            // A number (decimal, hex, an address) runs on to its end: "0x1f", "10.0.0.5", "ff:ff:...".
            size_t end = at + 1;
            if (std::isalnum(c))
                while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '.' ||
                                             text[end] == ':'))
                    ++end;
            at = end;
            continue;
        }
        size_t end = at;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-' ||
                                     text[end] == '_' || text[end] == '.'))
            ++end;
        std::string word = text.substr(at, end - at);
        // "ether host" may be followed by hex octets that begin with a letter: "aa:bb:...".
        const bool octets = end < text.size() && text[end] == ':';
        if (!octets && !keywords.count(word)) return true;
        at = end;
        while (at < text.size() && (std::isxdigit(static_cast<unsigned char>(text[at])) || text[at] == ':')) ++at;
    }
    return false;
}
