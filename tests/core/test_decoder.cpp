// Header decoding, the field accessors, protocol names and the byte histogram.
#include <QTest>

#include "core/accessors.h"
#include "core/modLibrary.h"
#include "core/modLookUp.h"
#include "core/modProcess.h"
#include "support/frames.h"

namespace {
int32_t add(const std::vector<uint8_t>& f) { return addPacket(f.data(), int(f.size()) - 1); }
QString text(const std::string& s) { return QString::fromStdString(s); }
}

class TestDecoder : public QObject {
    Q_OBJECT

private slots:
    void init() { resetBuffer("startup"); }

    void headerFields()
    {
        const int32_t s = add(frames::ipv4(60, 6, 1234, 80));
        QCOMPARE(getIPVersion(s), uint8_t(4));
        QCOMPARE(getEthertype(s), 2048);
        QCOMPARE(text(getEthertypeHex(s)), QString("0x800"));
        QCOMPARE(text(getSourceIP(s)), QString("10.0.0.1"));
        QCOMPARE(getSourceIPByte(s, 4), uint8_t(1));
        QCOMPARE(text(getDestIP(s)), QString("10.0.0.2"));
        QCOMPARE(getTTL(s), uint8_t(64));
        QCOMPARE(getIPIdentification(s), 0x1234);
        QCOMPARE(getIPHeaderChecksum(s), 0xABCD);
        QCOMPARE(getIPTotalLength(s), 46);

        auto f = frames::ipv4(60, 0);   // hex without leading zeros
        f[12] = 0; f[13] = 0x0A;
        QCOMPARE(text(getEthertypeHex(add(f))), QString("0xA"));
        f[13] = 0;
        QCOMPARE(text(getEthertypeHex(add(f))), QString("0x0"));
    }

    // The ports sit behind the IP header, whose length counts its options;
    // a length below 5 reads them where no options would put them.
    void portsBehindTheHeader_data()
    {
        QTest::addColumn<int>("ihl");
        QTest::addColumn<int>("proto");
        QTest::newRow("TCP, plain") << 5 << 6;
        QTest::newRow("UDP, 4 bytes of options") << 6 << 17;
        QTest::newRow("TCP, longest options") << 15 << 6;
        QTest::newRow("TCP, length below 5") << 3 << 6;
    }
    void portsBehindTheHeader()
    {
        QFETCH(int, ihl);
        QFETCH(int, proto);
        auto f = frames::ipv4(120, uint8_t(proto), 0xFFFF, 5353, uint8_t(ihl));
        if (ihl > 5) f[34] = f[35] = f[36] = f[37] = 0xEE;   // would be the ports without the shift
        const int32_t s = add(f);
        QCOMPARE(getIPHeaderLen(s), uint8_t(ihl));
        const bool tcp = proto == 6;
        QCOMPARE(std::pair(tcp ? getTCPSourcePort(s) : getUDPSourcePort(s), tcp ? getTCPDestPort(s) : getUDPDestPort(s)),
                 std::pair(0xFFFF, 5353));
        QCOMPARE(tcp ? getUDPSourcePort(s) : getTCPSourcePort(s), 0);   // the other protocol's column untouched
        QCOMPARE(text(getSourceIP(s)), QString("10.0.0.1"));
    }

    void flagsAndFragmentOffset()
    {
        auto f = frames::ipv4(60, 6);
        f[20] = 0x5F; f[21] = 0xA0;
        const int32_t s = add(f);
        QCOMPARE((std::array{getIPFlagReserved(s), getIPFlagDF(s), getIPFlagMF(s)}), (std::array{false, true, false}));
        QCOMPARE(getIPFragmentOffset(s), 31 * 256 + 160);
        f[20] = 0xA0; f[21] = 0;
        const int32_t t = add(f);
        QCOMPARE((std::array{getIPFlagReserved(t), getIPFlagDF(t), getIPFlagMF(t)}), (std::array{true, false, true}));
        QCOMPARE(getIPFragmentOffset(t), 0);
    }

    void arpBytesGoIntoTheIpColumns()
    {
        auto f = frames::ipv4(60, 17);   // byte 23 happens to read as UDP
        f[12] = 0x08; f[13] = 0x06;
        f[34] = 0x01; f[35] = 0x02; f[36] = 0x03; f[37] = 0x04;
        const int32_t s = add(f);
        QCOMPARE(getEthertype(s), 0x0806);
        QCOMPARE(getUDPSourcePort(s), 0x0102);
        QCOMPARE(getUDPDestPort(s), 0x0304);
    }

    // A slot reused after the ring wrapped: columns the new frame does not
    // write keep the earlier occupant's values, bytes beyond its end read 0.
    void reusedSlotKeepsColumnsTheFrameDoesNotWrite()
    {
        add(frames::ipv4(60, 6, 1111, 2222));   // slot 1: TCP
        std::vector<uint8_t> full(100, 0xFF);   // slot 2: 0xFF everywhere, protocol TCP
        full[23] = 6;
        add(full);
        for (int n = 3; n <= 30000; ++n) add(frames::ipv4(60, 1));
        QCOMPARE(add(frames::ipv4(60, 17, 53, 53)), 1);   // UDP over the TCP frame
        QCOMPARE(getTCPSourcePort(30001), 1111);
        QCOMPARE(getTCPDestPort(30001), 2222);
        QCOMPARE(getUDPDestPort(30001), 53);
        QCOMPARE(add(frames::ipv4(20, 6)), 2);   // ends before the protocol byte
        QCOMPARE(getIPProtocol(2), uint8_t(0));
        QCOMPARE(text(getSourceIP(2)), QString("0.0.0.0"));
        QCOMPARE(getTCPSourcePort(2), 0xFFFF);   // protocol 0: ports not written
    }

    void protocolNames()
    {
        const std::pair<int, std::string_view> names[] = {
            {0, "HOPOPT"}, {6, "TCP"}, {17, "UDP"}, {137, "MPLS-in-IP"}, {138, "Unassigned"}, {252, "Unassigned"},
            {253, "Experimental"}, {254, "Experimental"}, {255, "Reserved"}, {256, ""}, {-1, ""}};
        for (const auto& [number, name] : names) QCOMPARE(protocolName(number), name);
    }

    void minOfPrefersTheSecondOnTies()
    {
        QCOMPARE(minOf(7, 3), 3);
        struct V { int v; int id; bool operator<(const V& o) const { return v < o.v; } };
        QCOMPARE(minOf(V{5, 1}, V{5, 2}).id, 2);
    }

    void byteFrequencyDivisor()
    {
        // Every byte counts, divided by the length less one (by 1 for a single byte).
        const uint8_t four[] = {0x41, 0x41, 0x42, 0x00};
        computeByteFrequency(four, 4);
        QCOMPARE(byteFrequency()[0x41], 2.0f / 3.0f);
        QCOMPARE(byteFrequency()[0x00], 1.0f / 3.0f);
        QCOMPARE(byteFrequency()[0x43], 0.0f);

        const uint8_t one[] = {0x07};
        computeByteFrequency(one, 1);
        QCOMPARE(byteFrequency()[7], 1.0f);
        QCOMPARE(byteFrequency()[0x41], 0.0f);   // earlier histogram cleared
        computeByteFrequency(one, 0);
        QCOMPARE(byteFrequency()[7], 0.0f);
    }
};

QTEST_APPLESS_MAIN(TestDecoder)
#include "test_decoder.moc"
