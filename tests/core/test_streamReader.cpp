// A capture read as a stream in chunks of any size hands over the same frames
// (bytes, time, wire length) as the whole file read at once; what is not a
// capture is refused at its first bytes; a stream that ends inside a record
// or breaks the format says so.
#include <QTemporaryDir>
#include <QTest>

#include "core/streamReader.h"
#include "support/capturedLines.h"

using recorded::Frame;
using recorded::Pcapng;
using recorded::numbered;

namespace {
using captured::lineOf;

// The frames of `bytes` fed `chunk` bytes at a time; `kept`: each one's own link type and comments.
QStringList streamed(const QByteArray& bytes, qsizetype chunk, StreamReader& reader, QStringList* kept = nullptr)
{
    QStringList lines;
    const auto visit = [&](const StreamedFrame& f) {
        QStringList comments;
        for (const std::string& c : f.comments ? *f.comments : FrameComments{}) comments << QString::fromStdString(c);
        if (kept) *kept << QString("%1 %2").arg(f.linkType).arg(comments.join('|')).trimmed();
        return lines << lineOf(f.data, f.size, f.stamp), true;
    };
    for (qsizetype at = 0; at < bytes.size(); at += chunk) {
        const QByteArray part = bytes.mid(at, chunk);
        if (!reader.feed(reinterpret_cast<const uint8_t*>(part.constData()), size_t(part.size()), visit)) return lines;
    }
    reader.end();
    return lines;
}

bool feedAll(StreamReader& reader, const QByteArray& bytes)
{
    return reader.feed(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()),
                       [](const StreamedFrame&) { return true; });
}
QString notes(const StreamReader& reader)
{
    QStringList all;
    for (const std::string& n : reader.endNotes()) all << QString::fromStdString(n);
    return all.join(" | ");
}
}

class TestStreamReader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QByteArray libpcapFile(const std::vector<Frame>& frames)
    {
        const QString name = dir.filePath("l.pcap");
        recorded::writePcap(name, frames);
        return recorded::readFile(name);
    }

private slots:
    // Every chunk size from one byte to the whole stream gives the file's frames.
    void chunksOfEverySize_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("otherLink");
        QTest::addColumn<QStringList>("kept");   // each frame's link type and comments; empty: not checked
        QTest::newRow("pcap, ours, µs (libpcap's writer)") << libpcapFile(numbered(1, 20)) << 20 << 0 << QStringList();
        QTest::newRow("pcap, other byte order, ns") << captured::bigEndianPcap(numbered(1, 20)) << 20 << 0 << QStringList();
        QTest::newRow("pcap ns, ours") << recorded::pcapFile(numbered(1, 3), {{4000000000u, 999999999}, {1, 0}, {2, 5}}, true) << 3 << 0 << QStringList();
        QTest::newRow("pcapng, two sections and four interfaces") << captured::mixedPcapng() << 48 << 0 << QStringList();
        Pcapng commented;
        commented.section(true).interface(1).interface(113);
        commented.packet(0, recorded::numberedFrame(1), 0, 0, {"first", "second, longer"})
            .packet(1, Frame(40, 1), 0, 0, {"cooked"}, true)
            .packet(0, recorded::numberedFrame(2));
        QTest::newRow("pcapng with comments, one in an obsolete block")
            << commented.b << 3 << 0 << QStringList{"1 first|second, longer", "113 cooked", "1"};
    }
    void chunksOfEverySize()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, frames);
        QFETCH(int, otherLink);
        QFETCH(QStringList, kept);
        const QString path = dir.filePath("whole");
        QVERIFY(recorded::writeFile(path, bytes));
        const QStringList expected = captured::fileLines(path);
        QCOMPARE(expected.size(), frames);
        for (qsizetype chunk = 1; chunk <= bytes.size(); ++chunk) {
            StreamReader reader;
            QStringList gotKept;
            const QStringList got = streamed(bytes, chunk, reader, &gotKept);
            if (got != expected) QFAIL(qPrintable(QString("chunks of %1 bytes: %2").arg(chunk).arg(got.join('\n'))));
            if (!kept.isEmpty() && gotKept != kept)
                QFAIL(qPrintable(QString("chunks of %1 bytes kept %2").arg(chunk).arg(gotKept.join('\n'))));
            QCOMPARE(reader.otherLinkFrames(), otherLink);
            QCOMPARE(notes(reader), QString("stream ended after %1 frames").arg(frames) + (otherLink ? QString(" | %1 frames of interfaces that are not Ethernet skipped").arg(otherLink) : QString()));
        }
    }

    // A receiver that stops after each frame gets the rest, once each, by feeding nothing.
    void stoppedVisitGoesOnWithTheNextFeed()
    {
        const QByteArray bytes = captured::mixedPcapng();
        StreamReader reader;
        QStringList got;
        const auto one = [&](const StreamedFrame& f) { return got << lineOf(f.data, f.size, f.stamp), false; };
        QVERIFY(reader.feed(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), one));
        QCOMPARE(got.size(), 1);
        for (int k = 0; k < 60; ++k) QVERIFY(reader.feed(nullptr, 0, one));
        const QString path = dir.filePath("s.pcapng");
        QVERIFY(recorded::writeFile(path, bytes));
        QCOMPARE(got, captured::fileLines(path));
    }

    // Refused at the first bytes, whether they come at once or one by one.
    void refusedAtFirstBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("decidedAfter");   // bytes fed when the refusal comes
        QTest::addColumn<QString>("error");
        const QString lead = "the stream is not a pcap or pcapng capture: ";
        QTest::newRow("dataset") << recorded::dataset(numbered(1, 2)) << 8
                                 << lead + "it is a nivora dataset, which is opened as a file (File > Load Nivora Dataset)";
        QTest::newRow("text") << QByteArray("ssh: connect to host sensor port 22: Connection refused\n") << 16
                              << lead + "it begins with the text \"ssh: connect to \"";
        QTest::newRow("gzip") << QByteArray::fromHex("1f8b08000000000000031f8b080000000000") << 16
                              << lead + "it begins with the bytes 1f 8b 08 00 00 00 00 00 00 03 1f 8b 08 00 00 00";
        QTest::newRow("pcapng without byte order") << QByteArray::fromHex("0a0d0d0a1c000000deadbeef0100000000000000") << 16
                                                   << lead + "it begins with the bytes 0a 0d 0d 0a 1c 00 00 00 de ad be ef 01 00 00 00";
        QTest::newRow("802.11 pcap") << QByteArray::fromHex("d4c3b2a1020004000000000000000000ffff000069000000") << 24
                                     << "the stream holds IEEE802_11 (802.11) frames; only Ethernet, Linux cooked, raw IP and loopback captures can be shown";
    }
    void refusedAtFirstBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, decidedAfter);
        QFETCH(QString, error);
        StreamReader bytewise;
        for (int k = 0; k < decidedAfter; ++k) {
            QVERIFY2(!bytewise.failed(), bytewise.error().c_str());
            feedAll(bytewise, bytes.mid(k, 1));
        }
        QCOMPARE(QString::fromStdString(bytewise.error()), error);
        QVERIFY(!feedAll(bytewise, bytes));   // and no frame after
        StreamReader whole;   // told the same, however the bytes come
        QVERIFY(!feedAll(whole, bytes));
        QCOMPARE(QString::fromStdString(whole.error()), error);
        QCOMPARE(whole.frames(), 0);
    }

    // A stream shorter than a refusal waits for is judged at its end.
    void shortStreamsAreJudgedAtTheirEnd_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("notes");
        QTest::newRow("a line of text") << QByteArray("denied\n") << "the stream is not a pcap or pcapng capture: it begins with the text \"denied \"" << "";
        QTest::newRow("three bytes") << QByteArray("abc") << "" << "stream ended after 0 frames | the stream ended inside its header: 3 bytes dropped";
        QTest::newRow("a pcap magic") << QByteArray::fromHex("d4c3b2a102") << "" << "stream ended after 0 frames | the stream ended inside its header: 5 bytes dropped";
        QTest::newRow("a pcapng magic") << QByteArray::fromHex("0a0d0d0a1c00") << "" << "stream ended after 0 frames | the stream ended inside its header: 6 bytes dropped";
        QTest::newRow("pcapng without byte order") << QByteArray::fromHex("0a0d0d0a1c000000deadbeef") << "the stream is not a pcap or pcapng capture: it begins with the bytes 0a 0d 0d 0a 1c 00 00 00 de ad be ef" << "";
    }
    void shortStreamsAreJudgedAtTheirEnd()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(QString, notes);
        StreamReader reader;
        streamed(bytes, 1, reader);
        QCOMPARE(QString::fromStdString(reader.error()), error);
        if (error.isEmpty()) QCOMPARE(::notes(reader), notes);
    }

    // A stream that ends inside a record, or inside its header, says what was dropped.
    void endedShort_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("notes");
        const QByteArray pcap = libpcapFile(numbered(1, 3));   // the frames are 61, 62 and 63 bytes
        QTest::newRow("nothing") << QByteArray() << "stream ended after 0 frames";
        QTest::newRow("inside the pcap header") << pcap.left(10) << "stream ended after 0 frames | the stream ended inside its header: 10 bytes dropped";
        QTest::newRow("after a whole frame") << pcap.left(24 + 16 + 61) << "stream ended after 1 frame";
        QTest::newRow("inside a frame") << pcap.left(pcap.size() - 1) << "stream ended after 2 frames | the last frame was cut short: 78 bytes dropped";
        QTest::newRow("inside a record header") << pcap.left(24 + 16 + 61 + 5) << "stream ended after 1 frame | the last frame was cut short: 5 bytes dropped";
        const QByteArray ng = recorded::pcapng(numbered(1, 2));
        QTest::newRow("inside a pcapng block") << ng.left(ng.size() - 4) << "stream ended after 1 frame | the last frame was cut short: 92 bytes dropped";
    }
    void endedShort()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, notes);
        for (qsizetype chunk : {qsizetype(1), qsizetype(7), std::max<qsizetype>(1, bytes.size())}) {
            StreamReader reader;
            streamed(bytes, chunk, reader);
            QVERIFY2(!reader.failed(), reader.error().c_str());
            QCOMPARE(::notes(reader), notes);
        }
    }

    // Damage after a good start: the frames before it are handed over, then
    // the reason, with where it lies.
    void damage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("before");   // frames handed over before the damage
        QByteArray hugeFrame = libpcapFile(numbered(1, 2));
        hugeFrame[24 + 16 + 61 + 8 + 2] = 0x40;   // the second frame claims 4 MiB and more
        QTest::newRow("pcap frame over libpcap's largest") << hugeFrame
            << "the stream is damaged at byte 101: a frame claims 4194366 captured bytes" << 1;
        Pcapng early;
        early.section(false).packet(0, recorded::numberedFrame(1));
        QTest::newRow("pcapng frame of no interface") << early.b
            << "the stream is damaged at byte 28: a frame names interface 0, which its section does not describe" << 0;
        QByteArray odd = recorded::pcapng(numbered(1, 1)) + QByteArray::fromHex("060000000d00000000000000");
        QTest::newRow("pcapng block of odd length") << odd
            << "the stream is damaged at byte 144: a block has the impossible length 13" << 1;
    }
    void damage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(int, before);
        StreamReader reader;
        const QStringList got = streamed(bytes, 3, reader);
        QCOMPARE(QString::fromStdString(reader.error()), error);
        QCOMPARE(got.size(), before);
    }

    // What a frame without bytes and a header with nanosecond times tell.
    void emptyFramesAreCounted()
    {
        std::vector<Frame> frames = numbered(1, 2);
        frames.insert(frames.begin() + 1, Frame());
        StreamReader reader;
        QVERIFY(!reader.mayHoldSubMicroseconds());
        QCOMPARE(streamed(recorded::pcapFile(frames, {{1, 0}, {2, 0}, {3, 0}}, true), 5, reader).size(), 2);
        QVERIFY(reader.mayHoldSubMicroseconds());
        QCOMPARE(notes(reader), QString("stream ended after 2 frames | 1 frame without bytes skipped"));
    }
};

QTEST_APPLESS_MAIN(TestStreamReader)
#include "test_streamReader.moc"
