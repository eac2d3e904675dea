// Header decoding, the field accessors, protocol names and the byte histogram.
#include <QTest>

#include "core/accessors.h"
#include "core/modLibrary.h"
#include "core/modLookUp.h"
#include "core/modProcess.h"
#include "support/frames.h"

class TestDecoder : public QObject {
    Q_OBJECT

    static int32_t add(const std::vector<uint8_t>& f) { return addPacket(f.data(), int(f.size()) - 1); }

private slots:
    void init() { resetBuffer("startup"); }

    void tcpWithPlainHeader()
    {
        auto f = frames::ipv4(60, 6, 1234, 80);
        const int32_t s = add(f);
        QCOMPARE(getIPVersion(s), uint8_t(4));
        QCOMPARE(getIPHeaderLen(s), uint8_t(5));
        QCOMPARE(getTCPSourcePort(s), 1234);
        QCOMPARE(getTCPDestPort(s), 80);
        QCOMPARE(getUDPSourcePort(s), 0);   // untouched
        QCOMPARE(getEthertype(s), 2048);
        QCOMPARE(QString::fromStdString(getEthertypeHex(s)), QString("0x800"));
        QCOMPARE(QString::fromStdString(getSourceIP(s)), QString("10.0.0.1"));
        QCOMPARE(getSourceIPByte(s, 4), uint8_t(1));
        QCOMPARE(QString::fromStdString(getDestIP(s)), QString("10.0.0.2"));
        QCOMPARE(getTTL(s), uint8_t(64));
        QCOMPARE(getIPIdentification(s), 0x1234);
        QCOMPARE(getIPHeaderChecksum(s), 0xABCD);
        QCOMPARE(getIPTotalLength(s), 46);
    }

    void optionsShiftOnlyThePorts()
    {
        auto f = frames::ipv4(80, 17, 53, 5353, 6);   // 4 bytes of options
        f[34] = 0xEE; f[35] = 0xEE;                   // would be the port without the shift
        const int32_t s = add(f);
        QCOMPARE(getIPHeaderLen(s), uint8_t(6));
        QCOMPARE(getUDPSourcePort(s), 53);
        QCOMPARE(getUDPDestPort(s), 5353);
        QCOMPARE(QString::fromStdString(getSourceIP(s)), QString("10.0.0.1"));

        // Header length below 5 reads the ports from 34..37, as if no options.
        auto g = frames::ipv4(60, 6, 7, 8, 3);
        g[34] = 0; g[35] = 7; g[36] = 0; g[37] = 8;
        const int32_t t = add(g);
        QCOMPARE(getIPHeaderLen(t), uint8_t(3));
        QCOMPARE(getTCPSourcePort(t), 7);
        QCOMPARE(getTCPDestPort(t), 8);

        // The longest options (header length 15): ports behind 40 bytes.
        auto h = frames::ipv4(120, 6, 0xFFFF, 0xFFFF, 15);
        QCOMPARE(getTCPDestPort(add(h)), 65535);
    }

    void flagsAndFragmentOffset()
    {
        auto f = frames::ipv4(60, 6);
        f[20] = 0x5F; f[21] = 0xA0;
        const int32_t s = add(f);
        QVERIFY(!getIPFlagReserved(s));
        QVERIFY(getIPFlagDF(s));
        QVERIFY(!getIPFlagMF(s));
        QCOMPARE(getIPFragmentOffset(s), 31 * 256 + 160);

        f[20] = 0xA0; f[21] = 0;
        const int32_t t = add(f);
        QVERIFY(getIPFlagReserved(t));
        QVERIFY(!getIPFlagDF(t));
        QVERIFY(getIPFlagMF(t));
        QCOMPARE(getIPFragmentOffset(t), 0);
    }

    void ethertypeText()
    {
        auto f = frames::ipv4(60, 0);
        f[12] = 0x00; f[13] = 0x0A;
        const int32_t s = add(f);
        QCOMPARE(getEthertype(s), 10);
        QCOMPARE(QString::fromStdString(getEthertypeHex(s)), QString("0xA"));
        f[12] = 0; f[13] = 0;
        QCOMPARE(QString::fromStdString(getEthertypeHex(add(f))), QString("0x0"));
    }

    void arpBytesGoIntoTheIpColumns()
    {
        auto f = frames::ipv4(60, 0);
        f[12] = 0x08; f[13] = 0x06;
        f[23] = 17;   // happens to read as UDP
        f[34] = 0x01; f[35] = 0x02; f[36] = 0x03; f[37] = 0x04;
        const int32_t s = add(f);
        QCOMPARE(getEthertype(s), 0x0806);
        QCOMPARE(getIPProtocol(s), uint8_t(17));
        QCOMPARE(getUDPSourcePort(s), 0x0102);
        QCOMPARE(getUDPDestPort(s), 0x0304);
    }

    void portColumnsKeepTheEarlierOccupant()
    {
        add(frames::ipv4(60, 6, 1111, 2222));              // slot 1: TCP
        for (int n = 2; n <= 30000; ++n) add(frames::ipv4(60, 1));
        const int32_t s = add(frames::ipv4(60, 17, 53, 53));   // slot 1 again: UDP
        QCOMPARE(s, 1);
        QCOMPARE(getTCPSourcePort(30001), 1111);
        QCOMPARE(getTCPDestPort(30001), 2222);
        QCOMPARE(getUDPDestPort(30001), 53);
    }

    void shortFrameReadsZeroBeyondItsEnd()
    {
        // Slot 1 first holds a frame full of 0xFF, then a 20-byte frame.
        std::vector<uint8_t> full(100, 0xFF);
        full[23] = 6;
        add(full);
        for (int n = 2; n <= 30000; ++n) add(frames::ipv4(60, 1));
        auto tiny = frames::ipv4(20, 6);   // ends before the protocol byte
        const int32_t s = add(tiny);
        QCOMPARE(s, 1);
        QCOMPARE(getIPProtocol(s), uint8_t(0));
        QCOMPARE(QString::fromStdString(getSourceIP(s)), QString("0.0.0.0"));
        QCOMPARE(getTCPSourcePort(s), 0xFFFF);   // protocol 0: ports not written
    }

    void protocolNames()
    {
        QCOMPARE(protocolName(0), std::string_view("HOPOPT"));
        QCOMPARE(protocolName(6), std::string_view("TCP"));
        QCOMPARE(protocolName(17), std::string_view("UDP"));
        QCOMPARE(protocolName(61), std::string_view("Host Internal"));
        QCOMPARE(protocolName(114), std::string_view("0-hop"));
        QCOMPARE(protocolName(137), std::string_view("MPLS-in-IP"));
        QCOMPARE(protocolName(138), std::string_view("Unassigned"));
        QCOMPARE(protocolName(252), std::string_view("Unassigned"));
        QCOMPARE(protocolName(253), std::string_view("Experimental"));
        QCOMPARE(protocolName(254), std::string_view("Experimental"));
        QCOMPARE(protocolName(255), std::string_view("Reserved"));
        QCOMPARE(protocolName(256), std::string_view(""));
        QCOMPARE(protocolName(-1), std::string_view(""));
    }

    void minOfPrefersTheSecondOnTies()
    {
        QCOMPARE(minOf(3, 7), 3);
        QCOMPARE(minOf(7, 3), 3);
        struct V { int v; int id; bool operator<(const V& o) const { return v < o.v; } };
        QCOMPARE(minOf(V{5, 1}, V{5, 2}).id, 2);
    }

    void byteFrequencyDivisor()
    {
        const uint8_t four[] = {0x41, 0x41, 0x42, 0x00};
        computeByteFrequency(four, 4);
        QCOMPARE(byteFrequency()[0x41], 2.0f / 3.0f);
        QCOMPARE(byteFrequency()[0x42], 1.0f / 3.0f);
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
