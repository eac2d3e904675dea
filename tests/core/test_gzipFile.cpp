// gzip-compressed files read as the files they hold: told by content, whole
// loads and windows of a file larger than every buffer (through access
// points, however many the index may keep), files of several members, and
// files cut short or damaged, whose frames before the damage are kept.
#include <zlib.h>

#include <QTemporaryDir>
#include <QTest>

#include "core/fileConvert.h"
#include "core/fileLoader.h"
#include "core/frameIndex.h"
#include "core/frameStream.h"
#include "core/frameWindow.h"
#include "core/gzipFile.h"
#include "core/storeHost.h"
#include "support/cliRun.h"
#include "support/recordedFiles.h"

using recorded::Frame;
using recorded::numberIn;
using recorded::numbersFrom;

namespace {
// `bytes` as one gzip member.
QByteArray gzipped(const QByteArray& bytes, int level = Z_DEFAULT_COMPRESSION)
{
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&z, uLong(bytes.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = uInt(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

// A pcap of the frames, frame k captured k seconds and k microseconds after a start.
QByteArray pcapOf(const std::vector<Frame>& frames)
{
    std::vector<recorded::FileTime> times;
    for (size_t k = 0; k < frames.size(); ++k) times.push_back({1700000000 + k, k % 1000000});
    return recorded::pcapFile(frames, times, false);
}


// The frame numbers (carried in the frames) and times a pass hands over, with its report.
struct Pass {
    QList<int> numbers;
    QList<CaptureTime> times;
    LoadReport report;
};
Pass readAll(const std::string& path, const StreamLayout* layout = nullptr)
{
    Pass pass;
    const auto stream = openFrameStream(path, pass.report);
    if (!stream) return pass;
    if (layout) stream->adoptLayout(*layout);
    stream->read(pass.report, stream->start(), [&](const StreamFrame& f) {
        pass.numbers << numberIn(f.frame.data);
        pass.times << (f.frame.stamp ? f.frame.stamp->time : kNoTime);
        return true;
    });
    return pass;
}
}

class TestGzipFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoadObserver quiet;
    std::string path(const QString& name) const { return QFile::encodeName(dir.filePath(name)).toStdString(); }
    std::string write(const QString& name, const QByteArray& bytes) const
    {
        return recorded::writeFile(dir.filePath(name), bytes) ? path(name) : std::string();
    }
    // 40000 numbered frames: some 2.5 MB, more than the reader's 1 MiB buffer.
    const std::vector<Frame> many = recorded::numbered(1, 40000);

private slots:
    void init() { initBuffer(); }
    void cleanup() { setStoreHost(nullptr); }

    // Each format, compressed, is read as it is uncompressed, whatever its name says.
    void readAsTheFileItHolds_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("compressed");
        QTest::addColumn<QString>("name");
        const QByteArray pcap = pcapOf(many), pcapng = recorded::pcapng(many);
        const QByteArray dataset = recorded::dataset(many);
        QTest::newRow("pcap") << pcap << gzipped(pcap) << "a.pcap.gz";
        QTest::newRow("pcapng") << pcapng << gzipped(pcapng) << "a.pcapng.gz";
        QTest::newRow("dataset, named as a capture") << dataset << gzipped(dataset) << "a.pcap";
        QTest::newRow("two members") << dataset << gzipped(dataset.left(1000001)) + gzipped(dataset.mid(1000001)) << "cat.gz";
    }
    void readAsTheFileItHolds()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, compressed);
        QFETCH(QString, name);
        const std::string packed = write(name, compressed);
        const std::string unpacked = write("plain", plain);
        QVERIFY(isCompressedFile(packed) && !isCompressedFile(unpacked));
        QCOMPARE(sniffFileKind(packed), sniffFileKind(unpacked));

        const Pass inflated = readAll(packed), original = readAll(unpacked);
        QVERIFY2(inflated.report.damage.empty(), inflated.report.damage.c_str());
        QCOMPARE(inflated.numbers, numbersFrom(1, 40000));
        QCOMPARE(inflated.times, original.times);
        QCOMPARE(inflated.report.fileSize, qint64(compressed.size()));

        // Loaded whole, the store holds its first 30000 frames.
        const LoadReport whole = loadAnyFile(packed, quiet);
        QVERIFY2(whole.ok() && whole.damage.empty(), whole.message.c_str());
        QCOMPARE(whole.packetsStored, 30000);
        QCOMPARE(recorded::numberOf(30000), 30000);
    }

    // Windows of a large compressed file are reached through the access
    // points the index keeps, wherever they lie; with room for few points the
    // span doubles and every window is still right.
    void windowsThroughAccessPoints_data()
    {
        QTest::addColumn<int>("maxPoints");
        QTest::addColumn<int>("span");
        QTest::newRow("as the program keeps them") << 256 << (1 << 20);
        QTest::newRow("many small spans") << 256 << 20000;
        QTest::newRow("room for 4 points") << 4 << 20000;
    }
    void windowsThroughAccessPoints()
    {
        QFETCH(int, maxPoints);
        QFETCH(int, span);
        const std::string file = write("w.pcap.gz", gzipped(pcapOf(many)));
        // The index's pass collects the points under these limits.
        StreamLayout limits;
        limits.inflate = std::make_shared<InflateIndex>();
        limits.inflate->maxPoints = size_t(maxPoints);
        limits.inflate->span = span;
        const Pass indexed = readAll(file, &limits);
        QCOMPARE(indexed.numbers.size(), 40000);
        const auto& points = limits.inflate->points;
        QVERIFY(points.size() <= size_t(maxPoints));
        if (span < (1 << 20)) QVERIFY(points.size() >= 2);
        for (size_t k = 1; k < points.size(); ++k) QVERIFY(points[k].out - points[k - 1].out >= limits.inflate->span / 2);

        FrameIndex index = indexFile(file, quiet, 64);
        QCOMPARE(index.frames, 40000);
        index.layout.inflate = limits.inflate;
        for (const FrameWindow w : {FrameWindow{1, 10}, FrameWindow{20001, 20100}, FrameWindow{39990, 40000}, FrameWindow{5, 5}}) {
            WindowSource source(w, &index);
            LoadReport report;
            QVERIFY(source.open(file, report, quiet));
            QList<int> got;
            source.forEachFrame(report, [&](const SourceFrame& f) { return got << numberIn(f.data), true; });
            QCOMPARE(got, numbersFrom(int(w.first), int(w.last)));
            QVERIFY(report.damage.empty());
        }
    }

    // A file cut short or damaged: the frames before the damage are kept, and
    // the report says where it broke.
    void damageKeepsTheFramesBefore_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("says");
        QTest::newRow("cut short") << "cut" << "the compressed data ends early, cut off at compressed byte ";
        QTest::newRow("deflate data broken") << "broken" << "the compressed data is damaged at compressed byte ";
        QTest::newRow("checksum wrong") << "checksum" << "incorrect data check";
        QTest::newRow("not compressed after it") << "trailing" << "bytes that are not compressed data follow";
    }
    void damageKeepsTheFramesBefore()
    {
        QFETCH(QString, how);
        QFETCH(QString, says);
        QByteArray bytes = gzipped(recorded::dataset(many), Z_NO_COMPRESSION);   // stored blocks: damage shows at once
        if (how == "cut") bytes.truncate(bytes.size() / 2);
        if (how == "broken") bytes[bytes.size() / 2 - 5000] = char(0x07), bytes[bytes.size() / 2 - 4999] = char(0x00);
        if (how == "checksum") bytes[bytes.size() - 8] = char(bytes[bytes.size() - 8] ^ 1);
        if (how == "trailing") bytes += "garbage";
        const std::string file = write(how + ".gz", bytes);
        const Pass pass = readAll(file);
        QVERIFY2(QString::fromStdString(pass.report.damage).contains(says), pass.report.damage.c_str());
        QVERIFY(pass.numbers.size() > 1000);
        QCOMPARE(pass.numbers, numbersFrom(1, int(pass.numbers.size())));
        if (how == "checksum" || how == "trailing") QCOMPARE(pass.numbers.size(), 40000);

        // Loading keeps them too, and says where it broke.
        const LoadReport load = loadAnyFile(file, quiet);
        QVERIFY(load.ok());
        QCOMPARE(load.packetsStored, std::min<int64_t>(pass.numbers.size(), 30000));
        QVERIFY(QString::fromStdString(loadNotes(load, file).back()).contains(says));
    }

    // convert writes a compressed file when the name ends in .gz, which reads
    // back as the same frames and times, and which nivora-cli info names.
    void convertWritesCompressedFiles()
    {
        const std::string in = write("in.pcap", pcapOf(many));
        for (const QString out : {"out.pcap.gz", "out.nivora.gz"}) {
            const ConvertReport report = convertFile(in, path(out));
            QVERIFY2(report.write.ok, report.write.error.c_str());
            QVERIFY(isCompressedFile(path(out)));
            const Pass back = readAll(path(out)), original = readAll(in);
            QCOMPARE(back.numbers, numbersFrom(1, 40000));
            if (out.contains("pcap")) QCOMPARE(back.times, original.times);
        }
        QVERIFY(runCli({"info", dir.filePath("out.pcap.gz")}).out.contains("format:            pcap/pcapng capture, gzip-compressed\n"));
        QCOMPARE(saveFormatOf("x.PCAP.GZ"), SaveFormat::Pcap);
        QCOMPARE(saveFormatOf("x.gz"), SaveFormat::Unknown);
    }
};

QTEST_MAIN(TestGzipFile)
#include "test_gzipFile.moc"
