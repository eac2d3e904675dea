// The packet store, its decoder and the field catalogue over them: ring
// numbering and what a reused slot keeps, reset words and questions,
// truncation, every field's value and label, no selection, the axis scaling
// with its rounding and protocol names.
#include <QTest>

#include "core/accessors.h"
#include "core/drawnSequence.h"
#include "core/fieldCatalogue.h"
#include "core/modLibrary.h"
#include "core/modLookUp.h"
#include "core/packetComments.h"
#include "core/packetSummary.h"
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

// Runs a script on a drawn sequence: "a1-5" appends 1..5, "d4" drops below
// packet 4, "t3" truncates at position 3, "c" clears.
DrawnSequence played(const QString& script)
{
    DrawnSequence d;
    for (const QString& op : script.split(' ', Qt::SkipEmptyParts)) {
        const QStringList n = op.mid(1).split('-');
        switch (op[0].toLatin1()) {
        case 'a': d.append(n[0].toLongLong(), n[1].toLongLong()); break;
        case 'd': d.dropBelow(n[0].toLongLong()); break;
        case 't': d.truncate(n[0].toLongLong()); break;
        default: d.clear();
        }
    }
    return d;
}
// "position:first-last" per run.
QString runsOf(const DrawnSequence& d)
{
    QStringList runs;
    for (const PacketRun& r : d.runs()) runs << QString("%1:%2-%3").arg(r.position).arg(r.first).arg(r.last);
    return runs.join(' ');
}
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

    // A view's tool tip line: ports for TCP and UDP only, the keyword of the
    // protocol, the length as the field views show it; not held, said so.
    void packetSummaries_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("comments");
        QTest::newRow("tcp") << 6 << "Packet 1  TCP  10.0.0.1:1000 > 10.0.0.2:80  length 60" << QStringList{};
        QTest::newRow("udp") << 17 << "Packet 1  UDP  10.0.0.1:1000 > 10.0.0.2:80  length 60" << QStringList{};
        QTest::newRow("icmp") << 1 << "Packet 1  ICMP  10.0.0.1 > 10.0.0.2  length 60" << QStringList{};
        // On the same line, escaped; a long one cut after 80 bytes, not inside a character.
        QTest::newRow("comments") << 1 << "Packet 1  ICMP  10.0.0.1 > 10.0.0.2  length 60  comment: seen\\there|twice"
                                  << QStringList{"seen\there", "twice"};
        QTest::newRow("long comment") << 1 << "Packet 1  ICMP  10.0.0.1 > 10.0.0.2  length 60  comment: " + QString(79, 'x') + "…"
                                      << QStringList{QString(79, 'x') + "é and more"};
    }
    void packetSummaries()
    {
        QFETCH(int, protocol);
        QFETCH(QString, line);
        QFETCH(QStringList, comments);
        const auto frame = frames::ipv4(61, uint8_t(protocol), 1000, 80);
        addPacket(frame.data(), int(frame.size()) - 1);
        FrameComments given;
        for (const QString& c : comments) given.push_back(c.toStdString());
        setPacketComments(1, given);
        QCOMPARE(QString::fromStdString(packetSummary(1)), line);
        QCOMPARE(QString::fromStdString(packetSummary(2)), QString("Packet 2  (not held)"));
    }

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

    // Runs merge only when the next packet follows the last at the next
    // position; positions never move, whatever is dropped or cut.
    void drawnSequenceRuns_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("end");
        QTest::newRow("consecutive ranges merge") << "a1-5 a6-9" << "0:1-9" << 9 << 9;
        QTest::newRow("a gap starts a run") << "a1-3 a7-7" << "0:1-3 3:7-7" << 4 << 4;
        QTest::newRow("a loop repeats") << "a1-3 a1-3" << "0:1-3 3:1-3" << 6 << 6;
        QTest::newRow("empty range") << "a5-4" << "" << 0 << 0;
        QTest::newRow("left the ring: front") << "a1-10 d4" << "3:4-10" << 7 << 10;
        QTest::newRow("left the ring: middle") << "a20-30 a1-5 a31-31 d3" << "0:20-30 13:3-5 16:31-31" << 15 << 17;
        QTest::newRow("left the ring: all") << "a1-5 d9" << "" << 0 << 5;
        QTest::newRow("left the ring: a run's last") << "a1-3 a7-9 d4" << "3:7-9" << 3 << 6;
        QTest::newRow("left the ring: all but the last") << "a5-8 a1-3 d8" << "3:8-8" << 1 << 7;
        QTest::newRow("cut in a run, then on") << "a1-10 t4 a5-6" << "0:1-6" << 6 << 6;
        QTest::newRow("cut at a run's end") << "a1-3 a8-9 t3" << "0:1-3" << 3 << 3;
        QTest::newRow("cut past the end") << "a1-3 t9" << "0:1-3" << 3 << 3;
        QTest::newRow("cut after a drop") << "a1-10 d6 t7 a100-100" << "5:6-7 7:100-100" << 3 << 8;
        QTest::newRow("a drop after a cut") << "a9-12 a1-2 t5 d10" << "1:10-12" << 3 << 5;
        QTest::newRow("clear") << "a1-5 c a3-3" << "0:3-3" << 1 << 1;
    }
    void drawnSequenceRuns()
    {
        QFETCH(QString, script);
        QFETCH(QString, runs);
        QFETCH(int, size);
        QFETCH(int, end);
        const DrawnSequence d = played(script);
        QCOMPARE(runsOf(d), runs);
        QCOMPARE(d.size(), int64_t(size));
        QCOMPARE(d.endPosition(), int64_t(end));
    }

    // Runs at 1..4 (11..14) and 7 (15): 0, 5 and 6 left the ring.
    void drawnSequenceLookup()
    {
        const DrawnSequence d = played("a10-14 a3-4 a15-15 d11");
        QCOMPARE(runsOf(d), QString("1:11-14 7:15-15"));
        const std::pair<int64_t, int64_t> next[] = {{0, 1}, {3, 3}, {5, 7}, {8, 8}, {99, 8}};
        for (const auto& [from, found] : next) QCOMPARE(d.nextKept(from), found);
        const std::pair<int64_t, int64_t> previous[] = {{7, 4}, {4, 3}, {1, -1}, {99, 7}};
        for (const auto& [from, found] : previous) QCOMPARE(d.previousKept(from), found);
        const std::pair<int64_t, int64_t> at[] = {{0, 0}, {2, 12}, {6, 0}, {7, 15}, {8, 0}, {-1, 0}};
        for (const auto& [position, packet] : at) QCOMPARE(d.packetAt(position), packet);
        QCOMPARE(d.lastPositionOf(13), int64_t(3));
        QCOMPARE(d.lastPositionOf(3), int64_t(-1));
        QCOMPARE(played("a1-3 a1-3").lastPositionOf(2), int64_t(4));   // the latest of two
        QCOMPARE(d.countBetween(0, 8), int64_t(5));
        QCOMPARE(d.countBetween(2, 7), int64_t(3));
        QList<int64_t> walked;
        d.forEachBetween(3, 8, [&](int64_t position, int64_t packet) { walked << position << packet; });
        QCOMPARE(walked, (QList<int64_t>{3, 13, 4, 14, 7, 15}));
    }

    // A capture of millions in a row is one run; a player stepping to and fro
    // forgets its oldest runs beyond the bound.
    void drawnSequenceMemoryIsBounded()
    {
        DrawnSequence d;
        for (int64_t p = 1; p <= 3'000'000; ++p) {
            d.append(p, p);
            d.dropBelow(p - 29999);
        }
        QCOMPARE(runsOf(d), QString("2970000:2970001-3000000"));
        d.clear();
        const int64_t runs = int64_t(DrawnSequence::kMaxRuns) + 10;
        for (int64_t i = 0; i < runs; ++i) d.append(2 * i + 1, 2 * i + 1);
        QCOMPARE(d.runs().size(), DrawnSequence::kMaxRuns);
        QCOMPARE(d.runs().front().first, int64_t(21));
        QCOMPARE(d.size(), int64_t(DrawnSequence::kMaxRuns));
        QVERIFY(d.memoryBytes() <= 4u << 20);
        d.dropBelow(22);   // the lowest packet kept is known after forgetting
        QCOMPARE(d.runs().front().first, int64_t(23));
    }
};

QTEST_APPLESS_MAIN(TestStore)
#include "test_store.moc"
