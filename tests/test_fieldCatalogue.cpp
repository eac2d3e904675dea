// The field catalogue: names in order, values and labels read from the store
// as it holds them, ranges, and the axis scaling with its rounding.
#include <QTest>

#include "core/fieldCatalogue.h"
#include "core/modLibrary.h"
#include "support/frames.h"

namespace {
enum { Length = 0, Protocol = 1, SourceIP = 2, Ethertype = 7, TcpDest = 9, UdpDest = 11, Flags = 15, Offset = 16 };

int32_t add(std::vector<uint8_t> f) { return addPacket(f.data(), int(f.size()) - 1); }

int32_t vertical(int32_t value, int32_t range, double extent) { return roundHalfEven(scaleRange(value, range, extent)); }
}

class TestFieldCatalogue : public QObject {
    Q_OBJECT

private slots:
    void init() { resetBuffer("startup"); }

    void namesAndRangesInOrder()
    {
        const QStringList expected = {"packet length", "IP Transport Protocol", "Source IP", "Dest IP", "TTL",
                                      "IP Header Len", "IP Version", "Ethertype", "TCP Source Port", "TCP Dest Port",
                                      "UDP Source Port", "UDP Dest Port", "IP Diff Services", "IP Total Length",
                                      "IP Identification", "IP Flags", "IP Fragment Offset", "IP Header Checksum"};
        QStringList names;
        for (const char* n : fieldNames()) names << n;
        QCOMPARE(names, expected);
        const int32_t ranges[kFieldCount] = {1518, 256, 65536, 65536, 256, 16, 16, 65536, 65536,
                                             65536, 65536, 65536, 256, 65536, 65536, 8, 8192, 65536};
        for (int k = 0; k < kFieldCount; ++k) QCOMPARE(fieldRange(k), ranges[k]);
        QCOMPARE(fieldRange(-1), 0);
        QCOMPARE(fieldRange(18), 0);
    }

    void noSelectionGivesNothing()
    {
        add(frames::ipv4(60, 6));
        const FieldSample none = evaluateField(-1, 1, ProtocolLabel::Keyword);
        QVERIFY(!none.selected);
        QCOMPARE(none.value, 0);
        QCOMPARE(none.label, std::string());
        QVERIFY(!evaluateField(18, 1, ProtocolLabel::Decimal).selected);
    }

    void packetLengthOnAVerticalAxis()
    {
        add(frames::ipv4(1519, 6));
        add(frames::ipv4(61, 6));
        add(frames::ipv4(1601, 6));
        QCOMPARE(evaluateField(Length, 1, ProtocolLabel::Decimal).value, 1518);
        QCOMPARE(vertical(1518, fieldRange(Length), 300), 0);                 // top edge
        const FieldSample sixtyOne = evaluateField(Length, 2, ProtocolLabel::Decimal);
        QCOMPARE(sixtyOne.value, 60);
        QCOMPARE(sixtyOne.label, std::string("60"));
        QCOMPARE(vertical(sixtyOne.value, fieldRange(Length), 300), 288);      // 288.14...
        QVERIFY(vertical(evaluateField(Length, 3, ProtocolLabel::Decimal).value, 1518, 300) < 0);   // above the top
    }

    void scalingRules()
    {
        QCOMPARE(scaleRange(1, 8, 300), 262.5);
        QCOMPARE(vertical(1, 8, 300), 262);                     // a tie goes to the even neighbour
        QCOMPARE(roundHalfEven(263.5), 264);
        QCOMPARE(roundHalfEven(-2.5), -2);
        QCOMPARE(roundHalfEven(288.6), 289);
        QCOMPARE(vertical(0, 256, 300), 300);                   // 0 at the bottom edge
        QCOMPARE(scaleRange(100, 256, 0), 0.0);                 // no extent
        QCOMPARE(scaleRange(100, 256, -5), 0.0);
        QCOMPARE(scaleRange(5, 0, 300), 0.0);                   // no range (no selection)
        QCOMPARE(roundHalfEven(scaleRangeHorizontal(1, 8, 300)), 38);   // 37.5, to the even 38
        QCOMPARE(scaleRangeHorizontal(0, 8, 300), 0.0);         // 0 at the left edge
        QCOMPARE(scaleRangeHorizontal(3, 8, 0), 0.0);
    }

    void addressesShareTheirSlashSixteen()
    {
        auto a = frames::ipv4(60, 6);
        a[26] = 10; a[27] = 1; a[28] = 2; a[29] = 3;
        auto b = a;
        b[28] = 200; b[29] = 7;
        add(a);
        add(b);
        const FieldSample first = evaluateField(SourceIP, 1, ProtocolLabel::Decimal);
        const FieldSample second = evaluateField(SourceIP, 2, ProtocolLabel::Decimal);
        QCOMPARE(first.value, 2561);
        QCOMPARE(second.value, 2561);
        QCOMPARE(first.label, std::string("10.1.2.3"));
        QCOMPARE(second.label, std::string("10.1.200.7"));
    }

    void labels()
    {
        auto ipv4 = frames::ipv4(60, 17);
        ipv4[20] = 0x40;                           // DF
        auto arp = frames::ipv4(60, 6);
        arp[12] = 0x08; arp[13] = 0x06;
        arp[20] = 0x60;                            // DF and MF
        auto none = frames::ipv4(60, 1);
        none[20] = 0x00; none[21] = 0x00;
        auto all = frames::ipv4(60, 6);
        all[20] = 0xFF; all[21] = 0xFF;            // every flag, offset 8191
        add(ipv4); add(arp); add(none); add(all);

        QCOMPARE(evaluateField(Ethertype, 1, ProtocolLabel::Decimal).value, 2048);
        QCOMPARE(evaluateField(Ethertype, 1, ProtocolLabel::Decimal).label, std::string("0x800"));
        QCOMPARE(evaluateField(Ethertype, 2, ProtocolLabel::Decimal).label, std::string("0x806"));

        QCOMPARE(evaluateField(Flags, 1, ProtocolLabel::Decimal).value, 2);
        QCOMPARE(evaluateField(Flags, 1, ProtocolLabel::Decimal).label, std::string("DF"));
        QCOMPARE(evaluateField(Flags, 2, ProtocolLabel::Decimal).value, 3);
        QCOMPARE(evaluateField(Flags, 2, ProtocolLabel::Decimal).label, std::string("DFMF"));
        QCOMPARE(evaluateField(Flags, 3, ProtocolLabel::Decimal).value, 0);
        QCOMPARE(evaluateField(Flags, 3, ProtocolLabel::Decimal).label, std::string());
        QCOMPARE(evaluateField(Flags, 4, ProtocolLabel::Decimal).label, std::string("reservedDFMF"));
        QCOMPARE(evaluateField(Flags, 4, ProtocolLabel::Decimal).value, 7);
        QCOMPARE(evaluateField(Offset, 4, ProtocolLabel::Decimal).value, 8191);

        QCOMPARE(evaluateField(Protocol, 1, ProtocolLabel::Decimal).label, std::string("17"));
        QCOMPARE(evaluateField(Protocol, 1, ProtocolLabel::Keyword).label, std::string("UDP"));
        QCOMPARE(evaluateField(Protocol, 1, ProtocolLabel::Keyword).value, 17);
    }

    void portsOfOtherProtocolsComeFromTheSlot()
    {
        add(frames::ipv4(60, 17, 5000, 53));
        QCOMPARE(evaluateField(TcpDest, 1, ProtocolLabel::Decimal).value, 0);   // fresh store
        QCOMPARE(evaluateField(UdpDest, 1, ProtocolLabel::Decimal).value, 53);
        for (int n = 2; n <= 30000; ++n) add(frames::ipv4(60, 6, 1, 8080));
        add(frames::ipv4(60, 17, 5000, 53));                                    // lands in slot 1
        QCOMPARE(evaluateField(TcpDest, 30001, ProtocolLabel::Decimal).value, 0);
        add(frames::ipv4(60, 17, 5000, 123));                                   // slot 2, held TCP port 8080
        QCOMPARE(evaluateField(TcpDest, 30002, ProtocolLabel::Decimal).value, 8080);
        QCOMPARE(evaluateField(UdpDest, 30002, ProtocolLabel::Decimal).value, 123);
    }
};

QTEST_APPLESS_MAIN(TestFieldCatalogue)
#include "test_fieldCatalogue.moc"
