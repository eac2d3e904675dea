// The packet store, its decoder and the field catalogue over them: ring
// numbering and what a reused slot keeps, reset words and questions,
// truncation, every field's value and label, no selection, the axis scaling
// with its rounding and protocol names.
#include <QTest>

#include "core/accessors.h"
#include "core/fieldCatalogue.h"
#include "core/modLibrary.h"
#include "core/modLookUp.h"
#include "core/modProcess.h"
#include "core/storeHost.h"
#include "support/frames.h"

namespace {
struct RecordingHost : StoreHost {
    int questions = 0, clears = 0;
    Answer answer = Answer::Yes;
    int64_t count = -1, first = -1, counter = -1;
    void showPacketCounter(int64_t c) override { counter = c; }
    void showPacketRange(int64_t c, int64_t f) override { count = c, first = f; }
    Answer confirmOverwrite() override { ++questions; return answer; }
    void clearVisualizations() override { ++clears; }
};

int32_t add(const std::vector<uint8_t>& f) { return addPacket(f.data(), int(f.size()) - 1); }
// Adds a 60-byte UDP frame, ports 53 to 53, whose first three bytes hold `marker`.
int32_t addMarked(int marker)
{
    auto f = frames::ipv4(60, 17, 53, 53);
    for (int i = 0; i < 3; ++i) f[size_t(i)] = uint8_t(marker >> (8 * i));
    return add(f);
}
int markerOf(int64_t n) { return getPacketByte(n, 0) | getPacketByte(n, 1) << 8 | getPacketByte(n, 2) << 16; }

enum { Length = 0, Protocol = 1, SourceIP = 2, Flags = 15 };
int32_t value(int field, int64_t n) { return evaluateField(field, n, ProtocolLabel::Decimal).value; }
std::string label(int field, int64_t n) { return evaluateField(field, n, ProtocolLabel::Decimal).label; }
int vertical(int v, int range, double extent) { return roundHalfEven(scaleRange(v, range, extent)); }
}

class TestStore : public QObject {
    Q_OBJECT
    RecordingHost host;

private slots:
    void init()
    {
        setStoreHost(&host);
        host = RecordingHost{};
        resetBuffer("startup");
    }
    void cleanup() { setStoreHost(nullptr); }

    // A frame longer than a slot is cut to its 1601 bytes; one without bytes is
    // not stored. A reused slot keeps the bytes beyond its new frame's end and
    // the columns the new frame does not write; the decoder reads bytes beyond
    // the end as 0.
    void ringWrapsAtThirtyThousand()
    {
        QCOMPARE(host.counter, 0);   // the reset shows the emptied counter
        QCOMPARE(add(frames::ipv4(3000, 6, 1111, 2222, 5, 0xEE)), 1);   // TCP
        QCOMPARE(std::pair(getPacketLength(1), getPacketByte(1, 1600)), std::pair(1600, uint8_t(0xEE)));
        QCOMPARE(getPacketByte(1, 1601), uint8_t(0));   // outside the slot reads 0
        QCOMPARE(add({}), 0);
        std::vector<uint8_t> full(100, 0xFF);   // slot 2: 0xFF everywhere, protocol TCP
        full[23] = 6;
        add(full);
        for (int n = 3; n <= 30000; ++n) QCOMPARE(addMarked(n), n);
        QCOMPARE(std::pair(host.count, host.first), std::pair(int64_t(30000), int64_t(1)));

        QCOMPARE(addMarked(30001), 1);
        QCOMPARE(markerOf(30001), 30001);
        QCOMPARE(std::pair(getPacketLength(1), getPacketByte(1, 1600)), std::pair(59, uint8_t(0xEE)));
        QCOMPARE(std::pair(getTCPSourcePort(1), getUDPDestPort(1)), std::pair(1111, 53));
        QCOMPARE(host.first, 2);
        QCOMPARE(add(frames::ipv4(20, 6)), 2);   // ends before the protocol byte: protocol 0
        QCOMPARE(std::pair(getIPProtocol(2), getSourceIP(2)), std::pair(uint8_t(0), std::string("0.0.0.0")));
        QCOMPARE(getTCPSourcePort(2), 0xFFFF);   // no ports written
        // The range keeps moving past 16-bit packet numbers.
        for (int n = 30003; n <= 40000; ++n) addMarked(n);
        QCOMPARE(std::pair(host.count, host.first), std::pair(int64_t(40000), int64_t(10001)));
        QCOMPARE(add({0x42}), 10001);   // a single byte is a frame
        QCOMPARE(getPacketLength(40001), 0);
    }

    // Only "file" and "capture" ask, and only while packets are held; the views
    // are cleared with a confirmed reset only (startup has no views yet). A store
    // not emptied keeps its 10 packets and numbering goes on; Cancel says so.
    void resetWords()
    {
        using A = StoreHost::Answer;
        struct Case { const char* word; A answer; int questions; bool emptied; };
        const Case cases[] = {{"startup", A::Yes, 0, true}, {"file", A::Yes, 1, true}, {"capture", A::Yes, 1, true},
                              {"file", A::No, 1, false},    {"file", A::Cancel, 1, false},
                              {"other", A::Yes, 0, false},  {"FILE", A::Yes, 0, false}};
        for (const Case& c : cases) {
            init();
            resetBuffer("file");   // empty store: no question
            for (int n = 1; n <= 10; ++n) addMarked(n);
            host.answer = c.answer;
            QCOMPARE(resetBuffer(c.word), c.answer != A::Cancel);   // only Cancel forbids adding
            const bool confirmed = c.emptied && c.questions > 0;
            QVERIFY2(host.questions == c.questions && host.clears == int(confirmed), c.word);
            QCOMPARE(host.count, int64_t(confirmed ? 0 : 10));
            QCOMPARE(markerOf(5), c.emptied ? 0 : 5);   // emptied means zero-filled
            QCOMPARE(addMarked(11), c.emptied ? 1 : 11);
        }
    }

    // Each field of three frames, in the catalogue's order: the decoder's offsets
    // and masks. The ports sit behind the IP options; a header length below 5
    // reads them where no options would put them.
    void valuesAndLabels()
    {
        auto tcp = frames::ipv4(120, 6, 1234, 80, 15);   // the longest options
        tcp[15] = 0xB8;
        tcp[20] = 0xBF;   // the reserved and MF flags, offset 31 * 256 + 160
        tcp[21] = 0xA0;
        tcp[27] = 1, tcp[28] = 200, tcp[29] = 7;   // from 10.1.200.7
        auto arp = frames::ipv4(1519, 17, 53, 5353, 6);   // UDP behind 4 bytes of options; DF only
        arp[12] = 0x08, arp[13] = 0x06;   // decoded as IP all the same
        for (const auto& f : {tcp, arp, frames::ipv4(60, 6, 7, 9, 3)}) add(f);
        const std::vector<int32_t> values[] = {
            {119, 6, 2561, 2560, 64, 15, 4, 0x800, 1234, 80, 0, 0, 0xB8, 106, 0x1234, 5, 8096, 0xABCD},
            {1518, 17, 2560, 2560, 64, 6, 4, 0x806, 0, 0, 53, 5353, 0, 1505, 0x1234, 2, 0, 0xABCD},
            {59, 6, 2560, 2560, 64, 3, 4, 0x800, 7, 9, 0, 0, 0, 46, 0x1234, 2, 0, 0xABCD}};
        for (int n = 1; n <= 3; ++n)
            for (int field = 0; field < kFieldCount; ++field)
                QCOMPARE(std::pair(field, value(field, n)), std::pair(field, values[n - 1][size_t(field)]));
        QCOMPARE(label(SourceIP, 1), std::string("10.1.200.7"));
        QCOMPARE(label(Flags, 1) + " " + label(Flags, 2), std::string("reservedMF DF"));
        QCOMPARE(evaluateField(Protocol, 2, ProtocolLabel::Keyword).label, std::string("UDP"));
        for (int field : {-1, kFieldCount}) {   // no selection: nothing
            const FieldSample none = evaluateField(field, 1, ProtocolLabel::Keyword);
            QVERIFY(!none.selected && none.value == 0 && none.label.empty() && fieldRange(field) == 0);
        }
    }

    void scalingAndRounding()
    {
        QCOMPARE(vertical(1, 8, 300), 262);   // 262.5: a tie goes to the even neighbour
        QCOMPARE(vertical(1518, fieldRange(Length), 300), 0);   // the longest frame at the top edge
        QCOMPARE(vertical(60, fieldRange(Length), 300), 288);   // 288.14...
        QVERIFY(vertical(1600, fieldRange(Length), 300) < 0);   // not clamped: above the top
        QCOMPARE(scaleRange(100, 256, 0), 0.0);   // no extent
        QCOMPARE(scaleRange(5, 0, 300), 0.0);   // no range (no selection)
        QCOMPARE(roundHalfEven(scaleRangeHorizontal(1, 8, 300)), 38);   // 37.5, to the even 38
        QCOMPARE(scaleRangeHorizontal(3, 8, 0), 0.0);
    }

    void protocolNames()
    {
        const std::pair<int, std::string_view> names[] = {
            {0, "HOPOPT"}, {17, "UDP"}, {137, "MPLS-in-IP"}, {138, "Unassigned"}, {252, "Unassigned"},
            {253, "Experimental"}, {254, "Experimental"}, {255, "Reserved"}, {256, ""}, {-1, ""}};
        for (const auto& [number, name] : names) QCOMPARE(protocolName(number), name);
    }

    // Every byte counts, divided by the length less one (by 1 for a single byte).
    void byteFrequencyDivisor()
    {
        const uint8_t bytes[] = {0x41, 0x41, 0x42, 0x00};
        computeByteFrequency(bytes, 4);
        QCOMPARE(std::pair(byteFrequency()[0x41], byteFrequency()[0x00]), std::pair(2.0f / 3.0f, 1.0f / 3.0f));
        computeByteFrequency(bytes + 2, 1);
        QCOMPARE(std::pair(byteFrequency()[0x42], byteFrequency()[0x41]), std::pair(1.0f, 0.0f));
    }
};

QTEST_APPLESS_MAIN(TestStore)
#include "test_store.moc"
