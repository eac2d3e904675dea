#include "sampleTraffic.h"

#include <algorithm>
#include <array>
#include <deque>
#include <string>

namespace {
using Ip = std::array<uint8_t, 4>;
using Mac = std::array<uint8_t, 6>;

// splitmix64: small, fast and the same everywhere.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }

private:
    uint64_t state_;
};

const Mac kGatewayMac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01};
const Ip kGateway = {192, 168, 1, 1};

Mac hostMac(const Ip& ip) { return {0x00, 0x16, 0x3E, ip[1], ip[2], ip[3]}; }
bool isLocal(const Ip& ip) { return ip[0] == 192 && ip[1] == 168 && ip[2] == 1; }
Mac macFor(const Ip& ip) { return isLocal(ip) ? hostMac(ip) : kGatewayMac; }

void put16(Frame& f, size_t at, uint16_t v)
{
    f[at] = uint8_t(v >> 8);
    f[at + 1] = uint8_t(v);
}

void put32(Frame& f, size_t at, uint32_t v)
{
    put16(f, at, uint16_t(v >> 16));
    put16(f, at + 2, uint16_t(v));
}

uint32_t sum16(const uint8_t* p, size_t n, uint32_t sum = 0)
{
    for (size_t i = 0; i + 1 < n; i += 2) sum += uint32_t(p[i] << 8 | p[i + 1]);
    if (n & 1) sum += uint32_t(p[n - 1] << 8);
    return sum;
}

uint16_t fold(uint32_t sum)
{
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

Frame ethernet(const Mac& dst, const Mac& src, uint16_t type, const Frame& payload)
{
    Frame f(14);
    std::copy(dst.begin(), dst.end(), f.begin());
    std::copy(src.begin(), src.end(), f.begin() + 6);
    put16(f, 12, type);
    f.insert(f.end(), payload.begin(), payload.end());
    if (f.size() < 60) f.resize(60, 0);   // the Ethernet minimum, padded with zeros
    return f;
}

Frame bytesOf(const std::string& text) { return Frame(text.begin(), text.end()); }

class Builder {
public:
    explicit Builder(uint64_t seed) : rng(seed) {}
    Rng rng;

    struct IpOptions {
        uint8_t ttl = 64;
        bool dontFragment = true;
        bool moreFragments = false;
        uint16_t fragmentOffset = 0;   // in 8-byte units
        uint8_t tos = 0;
    };

    Frame ipv4(const Ip& src, const Ip& dst, uint8_t protocol, const Frame& body, const IpOptions& o)
    {
        Frame ip(20);
        ip[0] = 0x45;
        ip[1] = o.tos;
        put16(ip, 2, uint16_t(20 + body.size()));
        put16(ip, 4, ipId += uint16_t(1 + rng.below(3)));
        put16(ip, 6, uint16_t((o.dontFragment ? 0x4000 : 0) | (o.moreFragments ? 0x2000 : 0) | o.fragmentOffset));
        ip[8] = o.ttl;
        ip[9] = protocol;
        std::copy(src.begin(), src.end(), ip.begin() + 12);
        std::copy(dst.begin(), dst.end(), ip.begin() + 16);
        put16(ip, 10, fold(sum16(ip.data(), 20)));
        ip.insert(ip.end(), body.begin(), body.end());
        return ethernet(macFor(dst), macFor(src), 0x0800, ip);
    }

    // TCP or UDP checksum over the pseudo header.
    static uint16_t transportSum(const Ip& src, const Ip& dst, uint8_t protocol, const Frame& segment)
    {
        uint32_t sum = sum16(src.data(), 4) + sum16(dst.data(), 4) + protocol + uint32_t(segment.size());
        return fold(sum16(segment.data(), segment.size(), sum));
    }

    Frame tcp(const Ip& src, const Ip& dst, uint16_t sport, uint16_t dport, uint32_t seq, uint32_t ack,
              uint8_t flags, const Frame& payload, uint8_t ttl = 64)
    {
        Frame s(20);
        put16(s, 0, sport);
        put16(s, 2, dport);
        put32(s, 4, seq);
        put32(s, 8, ack);
        s[12] = 0x50;
        s[13] = flags;
        put16(s, 14, uint16_t(29200 + rng.below(36000)));
        s.insert(s.end(), payload.begin(), payload.end());
        put16(s, 16, transportSum(src, dst, 6, s));
        IpOptions o;
        o.ttl = ttl;
        return ipv4(src, dst, 6, s, o);
    }

    Frame udp(const Ip& src, const Ip& dst, uint16_t sport, uint16_t dport, const Frame& payload, uint8_t ttl = 64)
    {
        Frame d(8);
        put16(d, 0, sport);
        put16(d, 2, dport);
        put16(d, 4, uint16_t(8 + payload.size()));
        d.insert(d.end(), payload.begin(), payload.end());
        put16(d, 6, transportSum(src, dst, 17, d));
        IpOptions o;
        o.ttl = ttl;
        o.dontFragment = false;
        return ipv4(src, dst, 17, d, o);
    }

    Frame icmp(const Ip& src, const Ip& dst, uint8_t type, uint8_t code, uint32_t rest, const Frame& payload,
               uint8_t ttl = 64)
    {
        Frame m(8);
        m[0] = type;
        m[1] = code;
        put32(m, 4, rest);
        m.insert(m.end(), payload.begin(), payload.end());
        put16(m, 2, fold(sum16(m.data(), m.size())));
        IpOptions o;
        o.ttl = ttl;
        o.dontFragment = false;
        return ipv4(src, dst, 1, m, o);
    }

    Frame arp(uint16_t op, const Mac& senderMac, const Ip& sender, const Mac& targetMac, const Ip& target)
    {
        Frame a(28);
        put16(a, 0, 1);
        put16(a, 2, 0x0800);
        a[4] = 6;
        a[5] = 4;
        put16(a, 6, op);
        std::copy(senderMac.begin(), senderMac.end(), a.begin() + 8);
        std::copy(sender.begin(), sender.end(), a.begin() + 14);
        std::copy(targetMac.begin(), targetMac.end(), a.begin() + 18);
        std::copy(target.begin(), target.end(), a.begin() + 24);
        const Mac broadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        return ethernet(op == 1 ? broadcast : targetMac, senderMac, 0x0806, a);
    }

    Frame randomBytes(int n)
    {
        Frame b(static_cast<size_t>(n));
        for (auto& x : b) x = uint8_t(rng.next());
        return b;
    }

private:
    uint16_t ipId = 0x1F00;
};

Ip localHost(Rng& rng) { return {192, 168, 1, uint8_t(rng.between(10, 40))}; }

constexpr uint8_t kSyn = 0x02, kAck = 0x10, kPsh = 0x08, kFin = 0x01, kRst = 0x04;

// One TCP conversation: handshake, request, response in segments, teardown.
struct Conversation {
    Builder& b;
    Ip client, server;
    uint16_t cport, sport;
    uint32_t cseq, sseq;
    uint8_t serverTtl;
    std::deque<Frame>& out;

    void fromClient(uint8_t flags, const Frame& data = {})
    {
        out.push_back(b.tcp(client, server, cport, sport, cseq, sseq, flags, data));
        cseq += uint32_t(data.size()) + ((flags & (kSyn | kFin)) ? 1 : 0);
    }
    void fromServer(uint8_t flags, const Frame& data = {})
    {
        out.push_back(b.tcp(server, client, sport, cport, sseq, cseq, flags, data, serverTtl));
        sseq += uint32_t(data.size()) + ((flags & (kSyn | kFin)) ? 1 : 0);
    }
    void open()
    {
        out.push_back(b.tcp(client, server, cport, sport, cseq++, 0, kSyn, {}));
        fromServer(kSyn | kAck);
        fromClient(kAck);
    }
    // Sends `data` from the server in segments of at most 1460 bytes, acknowledged every second one.
    void serve(const Frame& data)
    {
        for (size_t at = 0, k = 0; at < data.size(); at += 1460, ++k) {
            const size_t n = std::min<size_t>(1460, data.size() - at);
            fromServer(kAck | (at + n == data.size() ? kPsh : 0), Frame(data.begin() + long(at), data.begin() + long(at + n)));
            if (k % 2 == 1 || at + n == data.size()) fromClient(kAck);
        }
    }
    void close()
    {
        fromClient(kFin | kAck);
        fromServer(kFin | kAck);
        fromClient(kAck);
    }
};

const char* const kPaths[] = {"/", "/index.html", "/news/today.html", "/images/logo.png", "/api/v1/status",
                              "/search?q=network+pictures", "/css/site.css", "/downloads/readme.txt"};
const char* const kHosts[] = {"www.example.org", "news.example.net", "cdn.example.com", "intranet.local"};

std::string pageText(Rng& rng, int paragraphs)
{
    static const char* const words[] = {"packet", "network", "frame", "header", "traffic", "router", "switch",
                                        "picture", "protocol", "address", "stream", "segment", "window", "byte",
                                        "the", "of", "and", "a", "to", "is", "in", "for", "with", "on"};
    std::string html = "<!DOCTYPE html>\n<html><head><title>Example page</title></head>\n<body>\n";
    for (int p = 0; p < paragraphs; ++p) {
        html += "<p>";
        const int n = rng.between(30, 90);
        for (int w = 0; w < n; ++w) html += std::string(words[rng.below(24)]) + (w + 1 < n ? " " : ".");
        html += "</p>\n";
    }
    return html + "</body></html>\n";
}

void webSessions(Builder& b, std::deque<Frame>& out, size_t budget)
{
    static const Ip servers[] = {{93, 184, 216, 34}, {151, 101, 1, 69}, {172, 217, 16, 142}, {104, 16, 132, 229}};
    while (out.size() < budget) {
        Conversation c{b, localHost(b.rng), servers[b.rng.below(4)], uint16_t(b.rng.between(49152, 65000)), 80,
                       uint32_t(b.rng.next()), uint32_t(b.rng.next()), uint8_t(b.rng.between(48, 58)), out};
        c.open();
        const std::string host = kHosts[b.rng.below(4)];
        c.fromClient(kAck | kPsh, bytesOf("GET " + std::string(kPaths[b.rng.below(8)]) + " HTTP/1.1\r\nHost: " + host
                                           + "\r\nUser-Agent: nivora-sample/1.0\r\nAccept: text/html,*/*\r\n"
                                             "Accept-Language: en\r\nConnection: close\r\n\r\n"));
        const std::string body = pageText(b.rng, b.rng.between(1, 12));
        c.serve(bytesOf("HTTP/1.1 200 OK\r\nServer: example/2.4\r\nContent-Type: text/html; charset=utf-8\r\n"
                        "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body));
        c.close();
    }
}

void mailSessions(Builder& b, std::deque<Frame>& out, size_t budget)
{
    const Ip relay = {192, 168, 1, 5};
    while (out.size() < budget) {
        Conversation c{b, localHost(b.rng), relay, uint16_t(b.rng.between(49152, 65000)), 25,
                       uint32_t(b.rng.next()), uint32_t(b.rng.next()), 64, out};
        c.open();
        c.fromServer(kAck | kPsh, bytesOf("220 mail.example.local ESMTP ready\r\n"));
        const char* const lines[][2] = {
            {"EHLO workstation.example.local\r\n", "250-mail.example.local\r\n250 SIZE 10240000\r\n"},
            {"MAIL FROM:<alice@example.local>\r\n", "250 2.1.0 Ok\r\n"},
            {"RCPT TO:<bob@example.org>\r\n", "250 2.1.5 Ok\r\n"},
            {"DATA\r\n", "354 End data with <CR><LF>.<CR><LF>\r\n"},
            {"Subject: weekly traffic report\r\n\r\nHi Bob,\r\nthe link was busy on Tuesday again.\r\n.\r\n",
             "250 2.0.0 Ok: queued\r\n"},
            {"QUIT\r\n", "221 2.0.0 Bye\r\n"},
        };
        for (const auto& l : lines) {
            c.fromClient(kAck | kPsh, bytesOf(l[0]));
            c.fromServer(kAck | kPsh, bytesOf(l[1]));
        }
        c.close();
    }
}

void secureShell(Builder& b, std::deque<Frame>& out, size_t budget)
{
    while (out.size() < budget) {
        Conversation c{b, localHost(b.rng), {198, 51, 100, 20}, uint16_t(b.rng.between(49152, 65000)), 22,
                       uint32_t(b.rng.next()), uint32_t(b.rng.next()), 55, out};
        c.open();
        c.fromServer(kAck | kPsh, bytesOf("SSH-2.0-OpenSSH_9.2\r\n"));
        c.fromClient(kAck | kPsh, bytesOf("SSH-2.0-nivora_sample\r\n"));
        for (int k = b.rng.between(20, 60); k > 0; --k) {
            // Keystrokes go out small; screens come back large: random bytes, as encrypted data looks.
            c.fromClient(kAck | kPsh, b.randomBytes(36 + 16 * b.rng.below(3)));
            c.fromServer(kAck | kPsh, b.randomBytes(b.rng.below(4) == 0 ? b.rng.between(400, 1400) : 36 + 16 * b.rng.below(4)));
        }
        c.close();
    }
}

void portScan(Builder& b, std::deque<Frame>& out, size_t budget)
{
    const Ip scanner = {203, 0, 113, 66};
    const Ip target = {192, 168, 1, 20};
    const uint16_t open[] = {22, 25, 80, 443, 8080};
    for (uint32_t port = 1; out.size() < budget; port = port % 65535 + 1) {
        const uint32_t seq = uint32_t(b.rng.next());
        out.push_back(b.tcp(scanner, target, 40000 + uint16_t(port % 4), uint16_t(port), seq, 0, kSyn, {}, 49));
        if (std::find(std::begin(open), std::end(open), port) != std::end(open)) {
            out.push_back(b.tcp(target, scanner, uint16_t(port), 40000 + uint16_t(port % 4), uint32_t(b.rng.next()), seq + 1, kSyn | kAck, {}));
            out.push_back(b.tcp(scanner, target, 40000 + uint16_t(port % 4), uint16_t(port), seq + 1, 0, kRst, {}, 49));
        } else {
            out.push_back(b.tcp(target, scanner, uint16_t(port), 40000 + uint16_t(port % 4), 0, seq + 1, kRst | kAck, {}));
        }
    }
}

Frame dnsName(const std::string& name)
{
    Frame q;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t dot = std::min(name.find('.', start), name.size());
        q.push_back(uint8_t(dot - start));
        q.insert(q.end(), name.begin() + long(start), name.begin() + long(dot));
        start = dot + 1;
    }
    q.push_back(0);
    return q;
}

void dnsBurst(Builder& b, std::deque<Frame>& out, size_t budget)
{
    static const char* const names[] = {"www.example.org", "mail.example.local", "cdn.example.com", "time.example.net",
                                        "updates.example.com", "news.example.net", "api.example.org"};
    while (out.size() < budget) {
        const Ip client = localHost(b.rng);
        const uint16_t id = uint16_t(b.rng.next());
        const uint16_t port = uint16_t(b.rng.between(32768, 60999));
        Frame query = {uint8_t(id >> 8), uint8_t(id), 0x01, 0x00, 0, 1, 0, 0, 0, 0, 0, 0};
        const Frame name = dnsName(names[b.rng.below(7)]);
        query.insert(query.end(), name.begin(), name.end());
        query.insert(query.end(), {0, 1, 0, 1});
        out.push_back(b.udp(client, kGateway, port, 53, query));
        Frame answer = query;
        answer[2] = 0x81;
        answer[3] = 0x80;
        answer[7] = 1;
        answer.insert(answer.end(), {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0x0E, 0x10, 0, 4});
        const Frame address = b.randomBytes(4);
        answer.insert(answer.end(), address.begin(), address.end());
        out.push_back(b.udp(kGateway, client, 53, port, answer));
    }
}

void pingsAndTraceroute(Builder& b, std::deque<Frame>& out, size_t budget)
{
    const Ip pinger = {192, 168, 1, 15};
    const Ip far = {8, 8, 8, 8};
    const Frame payload = bytesOf("abcdefghijklmnopqrstuvwabcdefghi");
    for (uint16_t seq = 1; out.size() < budget; ++seq) {
        out.push_back(b.icmp(pinger, far, 8, 0, 0x1234u << 16 | seq, payload));
        out.push_back(b.icmp(far, pinger, 0, 0, 0x1234u << 16 | seq, payload, 117));
        if (seq % 8 == 0) {   // a traceroute: each hop answers "time exceeded"
            for (uint8_t hop = 1; hop <= 6 && out.size() < budget; ++hop) {
                const Ip router = {10, uint8_t(hop * 10), 0, 1};
                Builder::IpOptions o;
                o.ttl = hop;
                o.dontFragment = false;
                Frame probe = b.udp(pinger, far, 33434, uint16_t(33434 + hop), bytesOf("traceroute probe"), hop);
                out.push_back(probe);
                out.push_back(b.icmp(router, pinger, 11, 0, 0, Frame(probe.begin() + 14, probe.begin() + 42), uint8_t(255 - hop)));
            }
        }
    }
}

void fragmentsAndServices(Builder& b, std::deque<Frame>& out, size_t budget)
{
    const Ip nfs = {192, 168, 1, 8};
    while (out.size() < budget) {
        const Ip client = localHost(b.rng);
        // A 4000-byte UDP datagram in three fragments: MF set on the first two.
        for (int k = 0; k < 3; ++k) {
            Builder::IpOptions o;
            o.dontFragment = false;
            o.moreFragments = k < 2;
            o.fragmentOffset = uint16_t(k * 185);
            out.push_back(b.ipv4(nfs, client, 17, b.randomBytes(k < 2 ? 1480 : 1040), o));
        }
        out.push_back(b.udp(client, {192, 168, 1, 2}, 514, 514,
                            bytesOf("<14>Dec  5 15:26:53 workstation kernel: eth0 link up, 1000 Mbps full duplex")));
        Frame ntp(48, 0);
        ntp[0] = 0x23;
        out.push_back(b.udp(client, {192, 168, 1, 1}, 123, 123, ntp));
        Builder::IpOptions marked;
        marked.tos = 0xB8;   // expedited forwarding: a voice call
        Frame rtp = b.randomBytes(172);
        rtp[0] = 0x80;
        out.push_back(b.ipv4(client, {192, 168, 1, 50}, 17, rtp, marked));
    }
}

void linkLayer(Builder& b, std::deque<Frame>& out, size_t budget)
{
    while (out.size() < budget) {
        const Ip asker = localHost(b.rng);
        const Ip wanted = b.rng.below(2) ? kGateway : localHost(b.rng);
        out.push_back(b.arp(1, hostMac(asker), asker, Mac{}, wanted));
        out.push_back(b.arp(2, isLocal(wanted) && wanted != kGateway ? hostMac(wanted) : kGatewayMac, wanted, hostMac(asker), asker));
        switch (b.rng.below(3)) {
        case 0: {   // IPv6 neighbour solicitation
            Frame v6 = b.randomBytes(72);
            v6[0] = 0x60;
            v6[6] = 58;
            v6[7] = 255;
            out.push_back(ethernet({0x33, 0x33, 0xFF, v6[37], v6[38], v6[39]}, hostMac(asker), 0x86DD, v6));
            break;
        }
        case 1:     // LLDP from the switch
            out.push_back(ethernet({0x01, 0x80, 0xC2, 0x00, 0x00, 0x0E}, {0x00, 0x1A, 0x2B, 0x00, 0x00, 0x07}, 0x88CC,
                                   bytesOf("\x02\x07\x04switch1\x04\x03\x05" "ge1\x06\x02\x00\x78")));
            break;
        default: {  // spanning tree: 802.3 with a length field
            Frame bpdu = {0x42, 0x42, 0x03, 0x00, 0x00, 0x00, 0x00};
            const Frame rest = b.randomBytes(32);
            bpdu.insert(bpdu.end(), rest.begin(), rest.end());
            out.push_back(ethernet({0x01, 0x80, 0xC2, 0x00, 0x00, 0x00}, {0x00, 0x1A, 0x2B, 0x00, 0x00, 0x07},
                                   uint16_t(bpdu.size()), bpdu));
        }
        }
    }
}
}

std::vector<Frame> makeSampleTraffic(int count)
{
    Builder b(20261205);
    using Scene = void (*)(Builder&, std::deque<Frame>&, size_t);
    // Shares of the whole, in per cent; the web takes what is left.
    const std::pair<Scene, int> scenes[] = {
        {portScan, 15}, {dnsBurst, 12}, {secureShell, 10}, {mailSessions, 6},
        {pingsAndTraceroute, 8}, {fragmentsAndServices, 5}, {linkLayer, 6}, {webSessions, 0},
    };
    std::vector<std::deque<Frame>> streams;
    size_t given = 0;
    for (const auto& [scene, share] : scenes) {
        const size_t budget = share ? size_t(count) * size_t(share) / 100 : size_t(count) - given;
        std::deque<Frame> frames;
        if (budget > 0) scene(b, frames, budget);
        frames.resize(budget);
        given += budget;
        streams.push_back(std::move(frames));
    }

    // Interleave the streams, each keeping its own order; the scan comes in one
    // sweep in the middle of the recording, as scans do.
    std::vector<Frame> all;
    all.reserve(size_t(count));
    size_t left = size_t(count);
    while (left > 0) {
        size_t pick = size_t(b.rng.next() % left);
        size_t k = 0;
        const bool scanning = all.size() >= size_t(count) * 2 / 5 && !streams[0].empty();
        if (scanning && b.rng.below(4) != 0) {
            k = 0;
        } else {
            for (k = 0; pick >= streams[k].size(); ++k) pick -= streams[k].size();
        }
        all.push_back(std::move(streams[k].front()));
        streams[k].pop_front();
        --left;
    }
    return all;
}
