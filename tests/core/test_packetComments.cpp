// Packet comments: read from pcapng (enhanced and obsolete packet blocks, any
// interface, several per packet, UTF-8, empty, the longest an option holds),
// kept beside the ring only for the packets that have them and gone with their
// slot, written back to pcapng as tshark reads the original, and read from
// what editcap writes. One line of comments escapes what would break a row.
#include <QTemporaryDir>
#include <QTest>

#include "core/commentText.h"
#include "core/datasetWriter.h"
#include "core/fileConvert.h"
#include "core/fileLoader.h"
#include "core/frameSource.h"
#include "core/frameWindow.h"
#include "core/packetComments.h"
#include "support/recordedFiles.h"
#include "support/tshark.h"

using recorded::Frame;

namespace {
const QByteArray kLongest(65535, 'L');
const QList<QByteArray> kSeveral = {"first", "second, with a comma", "Grüße aus 東京 🙂"};

// Two Ethernet interfaces and a Linux cooked one between them; comments on
// frames of all three (the cooked frame shown as Ethernet keeps its comment),
// in both kinds of packet block.
QByteArray commentedCapture()
{
    recorded::Pcapng w;
    w.section().interface(1, {9, 0}).interface(113).interface(1, {6, 0});
    const auto f = [](int n) { return recorded::numberedFrame(n); };
    w.packet(0, f(1), 1700000000123456789ull, 1500, kSeveral);   // longer on the wire
    w.packet(0, f(2), 1700000000223456789ull);
    w.packet(1, f(99), 5, 0, {"on the cooked interface: kept"});
    w.packet(2, f(3), 1700000000500001ull, 0, {""});                           // empty, second Ethernet interface
    w.packet(0, f(4), 1700000001000000000ull, 0, {kLongest});
    w.packet(2, f(5), 1700000002000002ull, 0, {"obsolete block", "tab\there"}, true);
    return w.b;
}

QList<QByteArray> heldComments()
{
    QList<QByteArray> all;
    for (int64_t n = firstHeldPacket(); n <= getPacketCount(); ++n) {
        QByteArray joined;
        if (const std::optional<FrameComments> c = packetComments(n))
            for (size_t k = 0; k < c->size(); ++k) joined += (k ? "\x1f" : "") + QByteArray::fromStdString((*c)[k]);
        all << joined;
    }
    return all;
}
}

class TestPacketComments : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoadObserver quiet;

    QString path(const char* name) { return dir.filePath(name); }
    std::string name(const char* file) { return path(file).toStdString(); }

private slots:
    void init() { resetBuffer("startup"); }

    // The whole-file reader and a window read through the stream keep the same comments.
    void readIntoTheStore()
    {
        QVERIFY(recorded::writeFile(path("c.pcapng"), commentedCapture()));
        const QList<QByteArray> expected = {kSeveral.join('\x1f'), "", "on the cooked interface: kept", "", kLongest,
                                            "obsolete block\x1ftab\there"};
        const LoadReport whole = loadAnyFile(name("c.pcapng"), quiet);
        QCOMPARE(whole.packetsStored, 6);
        QCOMPARE(whole.otherLinkFrames, 0);
        QCOMPARE(heldComments(), expected);
        // The empty comment is a comment: the packet is commented.
        QVERIFY(packetComments(4) && packetComments(4)->size() == 1);
        QCOMPARE(commentedPacketCount(), 5);

        resetBuffer("startup");
        QCOMPARE(commentedPacketCount(), 0);
        WindowSource window(FrameWindow{2, 5});
        QCOMPARE(loadFromSource(window, name("c.pcapng"), quiet).packetsStored, 4);
        QCOMPARE(heldComments(), expected.mid(1, 4));
    }

    // pcapng → store → pcapng, and pcapng → pcapng straight: tshark reads the
    // same times, lengths and comments in both as in the original.
    void roundTripAsTsharkReadsIt()
    {
        if (!tshark::installed()) QSKIP("tshark is not installed");
        QVERIFY(recorded::writeFile(path("c.pcapng"), commentedCapture()));
        loadAnyFile(name("c.pcapng"), quiet);
        QVERIFY(saveHeldPackets(name("saved.pcapng")).ok);
        QVERIFY(convertFile(name("c.pcapng"), name("converted.pcapng")).write.ok);
        const QStringList fields{"frame.time_epoch", "frame.len", "frame.cap_len", "frame.comment"};
        QList<QStringList> original = tshark::fields(path("c.pcapng"), fields, "\x1f");
        QCOMPARE(original.size(), 6);
        // The cooked interface's frame is written as Ethernet: its 16-byte
        // header became 14 bytes; its time and comment stay.
        for (int k : {1, 2}) original[2][k] = QString::number(original[2][k].toInt() - 2);
        QCOMPARE(tshark::fields(path("saved.pcapng"), fields, "\x1f"), original);
        QCOMPARE(tshark::fields(path("converted.pcapng"), fields, "\x1f"), original);
        QCOMPARE(original[0].last(), QString::fromUtf8(kSeveral.join('\x1f')));
    }

    // Comments editcap adds to a capture the program wrote are read back.
    void commentsFromEditcap()
    {
        if (!tshark::installed()) QSKIP("editcap is not installed");
        QVERIFY(recorded::writePcap(path("plain.pcap"), recorded::numbered(1, 4)));
        QCOMPARE(tshark::editcap({"-F", "pcapng", "-a", "2:seen by editcap", "-a", "4:ünïcode", path("plain.pcap"),
                                  path("edited.pcapng")}),
                 0);
        QCOMPARE(loadAnyFile(name("edited.pcapng"), quiet).packetsStored, 4);
        QCOMPARE(heldComments(), QList<QByteArray>({"", "seen by editcap", "", "ünïcode"}));
    }

    // Only commented packets are kept; a slot reused or a store emptied takes its comments along.
    // A .pcapng.gz name writes compressed pcapng; its comments read back through the inflating reader.
    void compressedPcapngKeepsComments()
    {
        QVERIFY(recorded::writeFile(path("c.pcapng"), commentedCapture()));
        loadAnyFile(name("c.pcapng"), quiet);
        const QList<QByteArray> held = heldComments();
        QVERIFY(convertFile(name("c.pcapng"), name("c.pcapng.gz")).write.ok);
        QVERIFY(isCompressedFile(name("c.pcapng.gz")));
        resetBuffer("startup");
        QCOMPARE(loadAnyFile(name("c.pcapng.gz"), quiet).packetsStored, 6);
        QCOMPARE(heldComments(), held);
    }

    void keptBesideTheRing()
    {
        const Frame f = recorded::numberedFrame(1);
        for (int k = 0; k < 10; ++k) recorded::store(f);
        setPacketComments(3, {"three"});
        setPacketComments(7, {"seven"});
        setPacketComments(11, {"not held: ignored"});
        QCOMPARE(commentedPacketCount(), 2);
        QCOMPARE(nextCommentedPacket(3, +1), 7);
        QCOMPARE(nextCommentedPacket(7, +1), 0);
        QCOMPARE(nextCommentedPacket(7, -1), 3);
        QCOMPARE(nextCommentedPacket(3, -1), 0);
        QCOMPARE(nextCommentedPacket(5, -1), 3);
        setPacketComments(7, {});   // removed
        QCOMPARE(nextCommentedPacket(3, +1), 0);
        // Packet 3's slot is taken by packet 30003.
        for (int k = 10; k < kSlotCount + 3; ++k) recorded::store(f);
        QCOMPARE(firstHeldPacket(), 4);
        QVERIFY(!packetComments(3));
        QCOMPARE(commentedPacketCount(), 0);
        setPacketComments(30003, {"new"});
        QVERIFY(packetComments(30003));
        resetBuffer("startup");
        recorded::store(f);
        QVERIFY(!packetComments(30003) && commentedPacketCount() == 0);
    }

    // The table copies its live comments forward once dead ones (of overwritten
    // packets, or replaced by edits) outweigh them: each keeps its own text.
    void commentsSurviveCompaction()
    {
        const Frame f = recorded::numberedFrame(1);
        for (int k = 0; k < kSlotCount; ++k) recorded::store(f);
        for (int n = 1; n <= 3000; ++n) setPacketComments(n, {std::to_string(n)});
        setPacketComments(kSlotCount, {"last", ""});
        for (int k = 0; k < 40; ++k) editPacketComments(kSlotCount - 1, {std::string(kMaxCommentBytes, char('0' + k))});
        for (int k = 0; k < 2990; ++k) recorded::store(f);   // packets 1 to 2990 overwritten
        QCOMPARE(commentedPacketCount(), 12);
        QVERIFY(*packetComments(2991) == FrameComments{"2991"});
        QVERIFY(*packetComments(kSlotCount) == FrameComments({"last", ""}));
        QVERIFY(*packetComments(kSlotCount - 1) == FrameComments{std::string(kMaxCommentBytes, char('0' + 39))});
        QCOMPARE(nextCommentedPacket(3000, +1), kSlotCount - 1);
    }

    void oneLine_data()
    {
        QTest::addColumn<QStringList>("comments");
        QTest::addColumn<QString>("line");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("one empty") << QStringList{""} << "";
        QTest::newRow("several") << QStringList{"a", "", "b"} << "a||b";
        QTest::newRow("breaks") << QStringList{"tab\tnew\nline\r"} << "tab\\tnew\\nline\\r";
        QTest::newRow("the escapes themselves") << QStringList{"a\\b|c"} << "a\\\\b\\|c";
        QTest::newRow("UTF-8 untouched") << QStringList{"東京"} << "東京";
    }
    void oneLine()
    {
        QFETCH(QStringList, comments);
        QFETCH(QString, line);
        FrameComments given;
        for (const QString& c : comments) given.push_back(c.toStdString());
        QCOMPARE(QString::fromStdString(commentsOnOneLine(given)), line);
    }
};

QTEST_GUILESS_MAIN(TestPacketComments)
#include "test_packetComments.moc"
