// The field catalogue: values and labels read from the store as it holds
// them, no selection, and the axis scaling with its rounding.
#include <QTest>

#include "core/fieldCatalogue.h"
#include "core/modLibrary.h"
#include "support/frames.h"

namespace {
enum { Length = 0, Protocol = 1, SourceIP = 2, Ethertype = 7, TcpDest = 9, UdpDest = 11, Flags = 15, Offset = 16 };

void add(const std::vector<uint8_t>& f) { addPacket(f.data(), int(f.size()) - 1); }
int32_t value(int field, int64_t n) { return evaluateField(field, n, ProtocolLabel::Decimal).value; }
std::string label(int field, int64_t n, ProtocolLabel style = ProtocolLabel::Decimal)
{
    return evaluateField(field, n, style).label;
}
int32_t vertical(int32_t value, int32_t range, double extent) { return roundHalfEven(scaleRange(value, range, extent)); }
}

class TestFieldCatalogue : public QObject {
    Q_OBJECT

private slots:
    void init() { resetBuffer("startup"); }

    void noSelectionGivesNothing()
    {
        add(frames::ipv4(60, 6));
        for (int field : {-1, kFieldCount}) {
            const FieldSample none = evaluateField(field, 1, ProtocolLabel::Keyword);
            QCOMPARE(std::tuple(none.selected, none.value, none.label), std::tuple(false, 0, std::string()));
            QCOMPARE(fieldRange(field), 0);
        }
    }

    void packetLengthOnAVerticalAxis()
    {
        add(frames::ipv4(1519, 6));
        add(frames::ipv4(61, 6));
        add(frames::ipv4(1601, 6));
        QCOMPARE(fieldRange(Length), 1518);
        QCOMPARE(value(Length, 1), 1518);
        QCOMPARE(vertical(1518, fieldRange(Length), 300), 0);                 // top edge
        QCOMPARE(label(Length, 2), std::string("60"));
        QCOMPARE(vertical(value(Length, 2), fieldRange(Length), 300), 288);   // 288.14...
        QVERIFY(vertical(value(Length, 3), 1518, 300) < 0);                    // above the top
    }

    void scalingAndRounding()
    {
        QCOMPARE(scaleRange(1, 8, 300), 262.5);
        QCOMPARE(vertical(1, 8, 300), 262);   // a tie goes to the even neighbour
        QCOMPARE(roundHalfEven(263.5), 264);
        QCOMPARE(roundHalfEven(-2.5), -2);
        QCOMPARE(roundHalfEven(288.6), 289);
        QCOMPARE(vertical(0, 256, 300), 300);   // 0 at the bottom edge
        QCOMPARE(scaleRange(100, 256, 0), 0.0);   // no extent
        QCOMPARE(scaleRange(100, 256, -5), 0.0);
        QCOMPARE(scaleRange(5, 0, 300), 0.0);   // no range (no selection)
        QCOMPARE(roundHalfEven(scaleRangeHorizontal(1, 8, 300)), 38);   // 37.5, to the even 38
        QCOMPARE(scaleRangeHorizontal(0, 8, 300), 0.0);   // 0 at the left edge
        QCOMPARE(scaleRangeHorizontal(3, 8, 0), 0.0);
    }

    void labels()
    {
        auto udp = frames::ipv4(60, 17);
        udp[20] = 0x40;   // DF
        auto arp = frames::ipv4(60, 6);
        arp[12] = 0x08; arp[13] = 0x06;
        arp[20] = 0x60;   // DF and MF
        auto none = frames::ipv4(60, 1);
        none[20] = none[21] = 0x00;
        auto all = frames::ipv4(60, 6);
        all[20] = all[21] = 0xFF;   // every flag, offset 8191
        // Addresses sharing their /16 share their value.
        auto near = frames::ipv4(60, 6);
        near[26] = 10; near[27] = 1; near[28] = 2; near[29] = 3;
        auto far = near;
        far[28] = 200; far[29] = 7;
        for (const auto& f : {udp, arp, none, all, near, far}) add(f);

        QCOMPARE(label(Ethertype, 1), std::string("0x800"));
        QCOMPARE(label(Ethertype, 2), std::string("0x806"));
        const std::pair<int32_t, std::string> flags[] = {{2, "DF"}, {3, "DFMF"}, {0, ""}, {7, "reservedDFMF"}};
        for (int n = 1; n <= 4; ++n) QCOMPARE(std::pair(value(Flags, n), label(Flags, n)), flags[n - 1]);
        QCOMPARE(value(Offset, 4), 8191);
        QCOMPARE(label(Protocol, 1), std::string("17"));
        QCOMPARE(label(Protocol, 1, ProtocolLabel::Keyword), std::string("UDP"));
        QCOMPARE(evaluateField(Protocol, 1, ProtocolLabel::Keyword).value, 17);
        QCOMPARE(std::pair(value(SourceIP, 5), value(SourceIP, 6)), std::pair(2561, 2561));
        QCOMPARE(label(SourceIP, 6), std::string("10.1.200.7"));
    }

    // A UDP packet shows the TCP ports its slot last held, whatever protocol it is.
    void portsOfOtherProtocolsComeFromTheSlot()
    {
        add(frames::ipv4(60, 17, 5000, 53));
        QCOMPARE(value(TcpDest, 1), 0);   // fresh store
        QCOMPARE(value(UdpDest, 1), 53);
        for (int n = 2; n <= 30001; ++n) add(frames::ipv4(60, 6, 1, 8080));
        add(frames::ipv4(60, 17, 5000, 123));   // slot 2, which held TCP port 8080
        QCOMPARE(value(TcpDest, 30002), 8080);
        QCOMPARE(value(UdpDest, 30002), 123);
    }
};

QTEST_APPLESS_MAIN(TestFieldCatalogue)
#include "test_fieldCatalogue.moc"
