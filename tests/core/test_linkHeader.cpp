// Frames of other link types stored as Ethernet: the conversion of each link
// header, crafted files of each type read whole through libpcap and through
// the streaming reader alike, the refusal of the types that cannot be shown,
// and what the detail view says. (A pcapng file mixing link types: TestFrameIndex.)
#include <QTemporaryDir>
#include <QTest>

#include "core/fileLoader.h"
#include "core/frameStream.h"
#include "core/linkHeader.h"
#include "core/linkOrigins.h"
#include "core/storeHost.h"
#include "support/frames.h"
#include "support/recordedFiles.h"
#include "vis/detailText.h"

using recorded::Frame;

namespace {
// An IPv4 packet with no link header: 40 bytes, UDP from port 1000 to 2000.
Frame ipv4Packet()
{
    const Frame f = frames::ipv4(54, 17, 1000, 2000);
    return Frame(f.begin() + kEthernetHeaderBytes, f.end());
}
// A 40-byte IPv6 header without payload.
Frame ipv6Packet()
{
    Frame p(40, 0);
    p[0] = 0x60;
    p[6] = 59;   // no next header
    p[7] = 64;
    return p;
}
Frame operator+(Frame a, const Frame& b) { return a.insert(a.end(), b.begin(), b.end()), a; }

const Frame kMac = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
const Frame kNoMac(6, 0);
Frame ethernet(const Frame& source, uint16_t type, const Frame& payload)
{
    return kNoMac + source + Frame{uint8_t(type >> 8), uint8_t(type)} + payload;
}
// Linux cooked v1: packet type, ARPHRD type, address length, 8 address bytes, protocol.
Frame cooked1(uint16_t addressLength, const Frame& address, uint16_t protocol)
{
    Frame h = {0, 0, 0, 1, uint8_t(addressLength >> 8), uint8_t(addressLength)};
    h = h + address + Frame(8 - address.size(), 0);
    return h + Frame{uint8_t(protocol >> 8), uint8_t(protocol)};
}
// Linux cooked v2: protocol, reserved, interface index, ARPHRD type, packet type, address length, 8 address bytes.
Frame cooked2(uint16_t protocol, uint8_t addressLength, const Frame& address)
{
    Frame h = {uint8_t(protocol >> 8), uint8_t(protocol), 0, 0, 0, 0, 0, 3, 0, 1, 4, addressLength};
    return h + address + Frame(8 - address.size(), 0);
}
Frame family(uint32_t value, bool bigEndian)
{
    Frame f(4);
    for (int i = 0; i < 4; ++i) f[size_t(i)] = uint8_t(value >> (8 * (bigEndian ? 3 - i : i)));
    return f;
}
}

class TestLinkHeader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::string path(const QString& name) const { return QFile::encodeName(dir.filePath(name)).toStdString(); }

private slots:
    void init() { initBuffer(); }
    void cleanup() { setStoreHost(nullptr); }

    // Each link header becomes an Ethernet header naming the same protocol,
    // with the hardware address the header had as source.
    void eachHeaderBecomesEthernet_data()
    {
        QTest::addColumn<int>("linkType");
        QTest::addColumn<Frame>("in");
        QTest::addColumn<Frame>("out");
        const Frame ip = ipv4Packet(), ip6 = ipv6Packet();
        using namespace link_type;
        QTest::newRow("cooked v1, Ethernet source") << kLinuxCooked << cooked1(6, kMac, 0x0800) + ip << ethernet(kMac, 0x0800, ip);
        QTest::newRow("cooked v1, no address") << kLinuxCooked << cooked1(0, {}, 0x86DD) + ip6 << ethernet(kNoMac, 0x86DD, ip6);
        // 802.2 LLC behind a cooked header: an 802.3 frame, whose type field is its length.
        QTest::newRow("cooked v1, 802.2") << kLinuxCooked << cooked1(6, kMac, 0x0004) + Frame(3, 0x42)
                                          << ethernet(kMac, 3, Frame(3, 0x42));
        QTest::newRow("cooked v2, Ethernet source") << kLinuxCooked2 << cooked2(0x0800, 6, kMac) + ip << ethernet(kMac, 0x0800, ip);
        QTest::newRow("cooked v2, ARP") << kLinuxCooked2 << cooked2(0x0806, 0, {}) + Frame(28, 1) << ethernet(kNoMac, 0x0806, Frame(28, 1));
        QTest::newRow("raw IP as a file keeps it") << kRaw << ip << ethernet(kNoMac, 0x0800, ip);
        QTest::newRow("raw IP as libpcap names it") << kRawLinux << ip6 << ethernet(kNoMac, 0x86DD, ip6);
        QTest::newRow("raw IPv4") << kIpv4 << ip << ethernet(kNoMac, 0x0800, ip);
        QTest::newRow("raw IPv6") << kIpv6 << ip6 << ethernet(kNoMac, 0x86DD, ip6);
        QTest::newRow("raw, neither version") << kRaw << Frame(20, 0x50) << ethernet(kNoMac, 0, Frame(20, 0x50));
        QTest::newRow("null, little-endian host") << kNull << family(2, false) + ip << ethernet(kNoMac, 0x0800, ip);
        QTest::newRow("null, big-endian host") << kNull << family(2, true) + ip << ethernet(kNoMac, 0x0800, ip);
        QTest::newRow("null, FreeBSD IPv6") << kNull << family(28, false) + ip6 << ethernet(kNoMac, 0x86DD, ip6);
        QTest::newRow("null, Darwin IPv6") << kNull << family(30, true) + ip6 << ethernet(kNoMac, 0x86DD, ip6);
        QTest::newRow("null, unknown family") << kNull << family(99, false) + ip << ethernet(kNoMac, 0, ip);
        QTest::newRow("OpenBSD loopback") << kLoop << family(24, true) + ip6 << ethernet(kNoMac, 0x86DD, ip6);
        // Cut inside the link header on capture: nothing of the packet, and nothing made up.
        QTest::newRow("cooked v2 cut short") << kLinuxCooked2 << Frame{0x08, 0x00, 0, 0} << ethernet(kNoMac, 0, {});
        QTest::newRow("null cut short") << kNull << Frame{2} << ethernet(kNoMac, 0, {});
        QTest::newRow("Ethernet as it is") << kEthernet << ethernet(kMac, 0x0800, ip) << ethernet(kMac, 0x0800, ip);
    }
    void eachHeaderBecomesEthernet()
    {
        QFETCH(int, linkType);
        QFETCH(Frame, in);
        QFETCH(Frame, out);
        std::vector<uint8_t> scratch(3000, 0xEE);   // left over from a longer frame
        const EthernetFrame e = asEthernet(linkType, in.data(), in.size(), scratch);
        QVERIFY(!e.refused());
        QCOMPARE(Frame(e.data, e.data + e.size), out);
        QCOMPARE(e.grownBy, int64_t(out.size()) - int64_t(in.size()));
        QCOMPARE(e.data == in.data(), linkType == link_type::kEthernet);   // Ethernet is not copied
    }

    void otherLinkTypesAreRefusedByName_data()
    {
        QTest::addColumn<int>("linkType");
        QTest::addColumn<QString>("name");
        QTest::newRow("802.11 radiotap") << int(DLT_IEEE802_11_RADIO) << "IEEE802_11_RADIO";
        QTest::newRow("USB") << int(DLT_USB_LINUX_MMAPPED) << "USB_LINUX_MMAPPED";
    }
    void otherLinkTypesAreRefusedByName()
    {
        QFETCH(int, linkType);
        QFETCH(QString, name);
        std::vector<uint8_t> scratch;
        const Frame f(60, 1);
        const EthernetFrame e = asEthernet(linkType, f.data(), f.size(), scratch);
        QVERIFY(e.refused());
        QVERIFY2(QString::fromStdString(e.refusal).startsWith(name + " ("), e.refusal.c_str());
        QVERIFY(!shownAsEthernet(linkType));

        // A capture file of it is refused by name by either reader, the store untouched.
        QVERIFY(recorded::writePcap(dir.filePath("other.pcap"), {f}, linkType));
        recorded::store(frames::ipv4(60, 6));
        LoadObserver quiet;
        const LoadReport whole = loadCaptureFile(path("other.pcap"), quiet);
        LoadReport streamed;
        QVERIFY(!openFrameStream(path("other.pcap"), streamed));
        for (const LoadReport& r : {whole, streamed}) {
            QCOMPARE(r.error, LoadError::NotEthernet);
            QVERIFY2(QString::fromStdString(r.message).contains(" holds " + name + " ("), r.message.c_str());
        }
        QCOMPARE(getPacketCount(), 1);
    }

    // A capture of each link type, read whole through libpcap and streamed
    // through the file's own reader (pcap and pcapng): the same Ethernet
    // frames, wire lengths that changed as the frames did, the file's times;
    // the store knows what each frame was.
    void filesOfEachLinkType_data()
    {
        QTest::addColumn<int>("linkType");
        QTest::addColumn<Frame>("header");   // put in front of every packet
        QTest::addColumn<uint16_t>("type");
        using namespace link_type;
        QTest::newRow("Linux cooked v1") << kLinuxCooked << cooked1(6, kMac, 0x0800) << uint16_t(0x0800);
        QTest::newRow("Linux cooked v2") << kLinuxCooked2 << cooked2(0x0800, 6, kMac) << uint16_t(0x0800);
        QTest::newRow("raw IP") << kRawLinux << Frame{} << uint16_t(0x0800);
        QTest::newRow("BSD loopback") << kNull << family(2, false) << uint16_t(0x0800);
    }
    void filesOfEachLinkType()
    {
        QFETCH(int, linkType);
        QFETCH(Frame, header);
        QFETCH(uint16_t, type);
        std::vector<Frame> in, expected;
        for (int n = 1; n <= 40; ++n) {
            const Frame f = recorded::numberedFrame(n);
            const Frame packet(f.begin() + kEthernetHeaderBytes, f.end());
            in.push_back(header + packet);
            expected.push_back(ethernet(header.size() >= 12 ? kMac : kNoMac, type, packet));
        }
        QVERIFY(recorded::writePcap(dir.filePath("t.pcap"), in, linkType));
        // libpcap's file writer keeps DLT_RAW as the file's link type 101.
        const int fileType = linkType == link_type::kRawLinux ? link_type::kRaw : linkType;
        QVERIFY(recorded::writeFile(dir.filePath("t.pcapng"), recorded::pcapng(in, uint16_t(fileType))));

        LoadObserver quiet;
        const LoadReport whole = loadCaptureFile(path("t.pcap"), quiet);
        QVERIFY2(whole.ok() && whole.packetsStored == 40, whole.message.c_str());
        for (int n = 1; n <= 40; ++n) {
            QCOMPARE(recorded::stored(n), expected[size_t(n - 1)]);
            QCOMPARE(linkTypeOfPacket(n), linkType);
            QCOMPARE(getWireLength(n), uint32_t(expected[size_t(n - 1)].size()));
            QCOMPARE(getCaptureTime(n), captureTimeOf(1700000000 + n - 1, (n - 1) * 1000, kNsPerSecond));
        }
        for (const char* name : {"t.pcap", "t.pcapng"}) {
            LoadReport report;
            const auto stream = openFrameStream(path(name), report);
            QVERIFY2(stream, report.message.c_str());
            size_t k = 0;
            stream->read(report, stream->start(), [&](const StreamFrame& f) {
                const bool same = k < expected.size() && Frame(f.frame.data, f.frame.data + f.frame.size) == expected[k]
                                  && f.frame.linkType == fileType && f.frame.stamp->wireLength == expected[k].size();
                return same && ++k;
            });
            QCOMPARE(k, expected.size());
            QVERIFY(report.damage.empty() && !report.mixedLinkTypes);
        }
    }

    // What a held packet was is kept beside the store, in runs, and
    // forgotten when the store is emptied; the detail view says it.
    void theStoreKnowsWhatEachPacketWas()
    {
        const Frame f = frames::ipv4(60, 6);
        for (const int kind : {1, link_type::kLinuxCooked2, link_type::kRaw, 1}) {
            recorded::store(f);
            noteLinkType(getPacketCount(), kind);
        }
        DetailText text;
        const auto shown = [&](int64_t n) {
            text.Plot(PacketToDraw{n, f.data(), int(f.size()), &byteFrequency()});
            text.build();
            return text.time();
        };
        QCOMPARE(shown(2), QString("Packet 2, no capture time; Linux cooked v2, header replaced"));
        QCOMPARE(shown(3), QString("Packet 3, no capture time; raw IP, header replaced"));
        QCOMPARE(shown(4), QString("Packet 4, no capture time"));
        initBuffer();
        recorded::store(f);
        QCOMPARE(linkTypeOfPacket(2), link_type::kEthernet);
    }
};

QTEST_MAIN(TestLinkHeader)
#include "test_linkHeader.moc"
