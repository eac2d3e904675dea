// Filter expressions: what libpcap's compiled code matches on stored bytes
// and wire lengths (lengths beyond the bytes, frames shorter than the headers
// read, VLAN tags, flag and type byte tests), libpcap's own messages for bad
// text, which texts may wait for a resolver, and the "Show only" expression
// over the store, applied after the toggles and check boxes.
#include <QTest>

#include "core/accessors.h"
#include "core/filterExpression.h"
#include "core/followExpression.h"
#include "core/modFilters.h"
#include "core/showOnly.h"
#include "support/frames.h"

using Frame = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Frame)

namespace {
// TCP from 10.0.0.1:80 to 10.0.0.2:1234 with the given flags.
Frame tcp(uint8_t flags, int size = 60)
{
    Frame f = frames::ipv4(60, 6, 80, 1234);
    f[46] = 0x50;   // a 20-byte TCP header
    f[47] = flags;
    f.resize(size_t(size));   // cut short on capture
    return f;
}
Frame icmpEcho()
{
    Frame f = frames::ipv4(60, 1);
    f[34] = 8;
    return f;
}
// The frame with an 802.1Q tag (VLAN 10) before its Ethertype.
Frame tagged(Frame f)
{
    const uint8_t tag[4] = {0x81, 0x00, 0x00, 0x0A};
    f.insert(f.begin() + 12, tag, tag + 4);
    return f;
}
Frame arp()
{
    Frame f(60, 0);
    for (int i = 0; i < 6; ++i) f[size_t(i)] = 0xFF;
    for (int i = 6; i < 12; ++i) f[size_t(i)] = uint8_t(0xA0 + i);
    f[12] = 0x08, f[13] = 0x06;
    return f;
}
FilterExpression compiled(const QString& text)
{
    std::string error;
    const auto expression = FilterExpression::compile(text.toStdString(), error);
    if (!expression) qFatal("%s does not compile: %s", qPrintable(text), error.c_str());
    return *expression;
}
int32_t store(const Frame& f, uint32_t wire = 0) { return addPacket(f.data(), int(f.size()) - 1, kNoTime, wire); }
}

class TestFilterExpression : public QObject {
    Q_OBJECT
private slots:
    void matchesAsLibpcapDoes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<int>("wire");   // 0: the frame's own size
        QTest::addColumn<bool>("matches");
        const Frame udp = frames::ipv4(60, 17, 53, 5353);
        QTest::newRow("blank") << "  " << arp() << 0 << true;
        QTest::newRow("tcp port 80") << "tcp port 80" << tcp(0x10) << 0 << true;
        QTest::newRow("udp is no tcp port") << "tcp port 80" << frames::ipv4(60, 17, 80, 80) << 0 << false;
        QTest::newRow("src host") << "src host 10.0.0.1" << udp << 0 << true;
        QTest::newRow("dst host is not src") << "src host 10.0.0.2" << udp << 0 << false;
        QTest::newRow("net and portrange") << "net 10.0.0.0/8 and portrange 5000-6000" << udp << 0 << true;
        QTest::newRow("greater reads the wire") << "greater 1000" << udp << 1500 << true;
        QTest::newRow("less reads the wire") << "less 100" << udp << 1500 << false;
        QTest::newRow("len reads the wire") << "len = 1514" << udp << 1514 << true;
        QTest::newRow("syn set") << "tcp[tcpflags] & tcp-syn != 0" << tcp(0x02) << 0 << true;
        QTest::newRow("syn clear") << "tcp[tcpflags] & tcp-syn != 0" << tcp(0x10) << 0 << false;
        QTest::newRow("echo request") << "icmp[icmptype] = icmp-echo" << icmpEcho() << 0 << true;
        QTest::newRow("ip byte test") << "ip[8] = 64" << udp << 0 << true;
        QTest::newRow("vlan and udp") << "vlan and udp" << tagged(udp) << 0 << true;
        QTest::newRow("udp misses a tagged frame") << "udp" << tagged(udp) << 0 << false;
        QTest::newRow("ether host") << "ether host 01:02:03:04:05:06" << udp << 0 << true;
        QTest::newRow("arp") << "arp and ether broadcast" << arp() << 0 << true;
        QTest::newRow("not and or") << "not tcp and (udp or icmp)" << udp << 0 << true;
        // Too short for the headers read: no match, and nothing read beyond the bytes.
        QTest::newRow("tcp flags beyond the bytes") << "tcp[tcpflags] != 0" << tcp(0x02, 40) << 0 << false;
        QTest::newRow("ip byte beyond the bytes") << "ip[100] = 0" << udp << 0 << false;
        QTest::newRow("bare Ethernet header") << "ip" << Frame(14, 0) << 0 << false;
    }
    void matchesAsLibpcapDoes()
    {
        QFETCH(QString, text);
        QFETCH(Frame, frame);
        QFETCH(int, wire);
        QFETCH(bool, matches);
        // The exact bytes only: a read past them would be caught by the sanitizer build.
        const auto bytes = std::make_unique<uint8_t[]>(frame.size());
        std::copy(frame.begin(), frame.end(), bytes.get());
        QCOMPARE(compiled(text).matches(bytes.get(), uint32_t(frame.size()), uint32_t(wire)), matches);
    }

    void badTextGetsLibpcapsMessage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("unfinished") << "tcp port" << "syntax error";
        QTest::newRow("port too large") << "port 70000" << "port";
        QTest::newRow("unknown protocol") << "ip proto frob" << "unknown ip proto 'frob'";
        QTest::newRow("needs a netmask") << "ip broadcast" << "netmask";
    }
    void badTextGetsLibpcapsMessage()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        std::string error;
        QVERIFY(!FilterExpression::compile(text.toStdString(), error));
        QVERIFY2(QString::fromStdString(error).contains(message), error.c_str());
    }

    void numbersAndKeywordsNeedNoLookUp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("mayLookUp");
        QTest::newRow("port or host") << "tcp port 80 or host 10.0.0.5" << false;
        QTest::newRow("net, not") << "net 10.0.0.0/8 and not icmp" << false;
        QTest::newRow("flags") << "tcp[tcpflags] & (tcp-syn|tcp-ack) == tcp-syn" << false;
        QTest::newRow("icmp type") << "icmp[icmptype]=icmp-echoreply" << false;
        QTest::newRow("mac from a letter") << "ether host aa:bb:cc:dd:ee:ff" << false;
        QTest::newRow("ipv6") << "ip6 host fe80::1 or ::1" << false;
        QTest::newRow("vlan, len") << "vlan 10 and udp and len >= 0x100" << false;
        QTest::newRow("host name") << "host example.invalid" << true;
        QTest::newRow("port name") << "tcp port http" << true;
        QTest::newRow("bare name") << "src router1" << true;
    }
    void numbersAndKeywordsNeedNoLookUp()
    {
        QFETCH(QString, text);
        QFETCH(bool, mayLookUp);
        QCOMPARE(mayLookUpNames(text.toStdString()), mayLookUp);
    }

    // Following a packet: its hosts, or its conversation both ways exactly
    // (protocol and ports for TCP and UDP, not for ICMP or a later fragment); Ethernet
    // addresses for a frame that is not IPv4.
    void followExpressions_data()
    {
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("conversation");
        Frame fragment = frames::ipv4(60, 17, 53, 5353);
        fragment[20] = 0x00, fragment[21] = 0x10;   // at offset 128
        QTest::newRow("tcp") << tcp(0x10) << "host 10.0.0.1" << "host 10.0.0.2"
                             << "tcp and ((src host 10.0.0.1 and dst host 10.0.0.2 and src port 80 and dst port 1234) or "
                                "(src host 10.0.0.2 and dst host 10.0.0.1 and src port 1234 and dst port 80))";
        QTest::newRow("udp") << frames::ipv4(60, 17, 53, 5353) << "host 10.0.0.1" << "host 10.0.0.2"
                             << "udp and ((src host 10.0.0.1 and dst host 10.0.0.2 and src port 53 and dst port 5353) or "
                                "(src host 10.0.0.2 and dst host 10.0.0.1 and src port 5353 and dst port 53))";
        QTest::newRow("icmp") << icmpEcho() << "host 10.0.0.1" << "host 10.0.0.2"
                              << "(src host 10.0.0.1 and dst host 10.0.0.2) or (src host 10.0.0.2 and dst host 10.0.0.1)";
        QTest::newRow("later fragment") << fragment << "host 10.0.0.1" << "host 10.0.0.2"
                                        << "(src host 10.0.0.1 and dst host 10.0.0.2) or (src host 10.0.0.2 and dst host 10.0.0.1)";
        QTest::newRow("arp") << arp() << "ether host a6:a7:a8:a9:aa:ab" << "ether host ff:ff:ff:ff:ff:ff"
                             << "(ether src a6:a7:a8:a9:aa:ab and ether dst ff:ff:ff:ff:ff:ff) or "
                                "(ether src ff:ff:ff:ff:ff:ff and ether dst a6:a7:a8:a9:aa:ab)";
    }
    void followExpressions()
    {
        QFETCH(Frame, frame);
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(QString, conversation);
        resetBuffer("startup");
        const int32_t n = store(frame);
        const auto follow = [n](Follow f) { return QString::fromStdString(followExpression(f, n)); };
        QCOMPARE(follow(Follow::SourceHost), source);
        QCOMPARE(follow(Follow::DestinationHost), destination);
        QCOMPARE(follow(Follow::Conversation), conversation);
        // Each compiles and matches the packet it was made from.
        for (const Follow f : {Follow::SourceHost, Follow::DestinationHost, Follow::Conversation}) {
            setShowOnlyExpression(compiled(follow(f)));
            QVERIFY(showOnlyMatches(n));
        }
        setShowOnlyExpression({});
    }

    void recentExpressionsKeepTen()
    {
        std::vector<std::string> recent;
        for (int k = 0; k < 12; ++k) recent = withRecentExpression(recent, "len > " + std::to_string(k));
        recent = withRecentExpression(recent, "len > 5");
        recent = withRecentExpression(recent, "");
        QCOMPARE(recent.size(), kRecentExpressions);
        QCOMPARE(recent[0], std::string("len > 5"));
        QCOMPARE(recent[1], std::string("len > 11"));
        QCOMPARE(std::count(recent.begin(), recent.end(), "len > 5"), 1);
    }

    // Show only hides what the toggles and check boxes let through and it
    // does not match; it never shows what they hide. Counted over the held packets.
    void showOnlyComesAfterTheToggles()
    {
        resetBuffer("startup");
        protocolSettings() = ProtocolSettings{};
        store(tcp(0x02));                       // 1: SYN
        store(frames::ipv4(60, 17, 53, 53));    // 2: UDP
        store(tcp(0x10), 9000);                 // 3: ACK, 9000 bytes on the wire
        store(arp());                           // 4
        const uint64_t before = showOnlyGeneration();
        setShowOnlyExpression(compiled("tcp or arp"));
        QVERIFY(showOnlyGeneration() != before);
        const auto hidden = [] {
            QList<bool> h;
            for (int64_t n = 1; n <= 4; ++n) h << filterPacket(n);
            return h;
        };
        QCOMPARE(hidden(), (QList<bool>{false, true, false, false}));
        QCOMPARE(countShowOnlyMatches(1, 4), int64_t(3));
        protocolSettings().hideNonIPv4 = true;   // "Ethernet" down hides the ARP frame it matches
        QCOMPARE(hidden(), (QList<bool>{false, true, false, true}));
        protocolSettings().onlyShows(PacketMatch::TcpSyn) = true;
        QCOMPARE(hidden(), (QList<bool>{false, true, true, true}));
        protocolSettings() = ProtocolSettings{};
        setShowOnlyExpression(compiled("greater 5000"));
        QCOMPARE(hidden(), (QList<bool>{true, true, false, true}));
        setShowOnlyExpression(FilterExpression{});
        QCOMPARE(hidden(), (QList<bool>{false, false, false, false}));
        QCOMPARE(countShowOnlyMatches(1, 4), int64_t(4));
    }
};

QTEST_APPLESS_MAIN(TestFilterExpression)
#include "test_filterExpression.moc"
