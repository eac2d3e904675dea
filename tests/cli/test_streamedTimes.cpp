// Every path that streams a file, against tshark frame for frame: fields
// --time, info, convert --window, a window loaded into the store and the
// index's overviews read pcaps (µs and ns, both byte orders), pcapng files and
// a dataset several times the reader's buffer, with a record straddling every
// buffer boundary, and agree with tshark on every frame's time, length and bytes.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "core/accessors.h"
#include "core/frameWindow.h"
#include "core/modLibrary.h"
#include "support/cliRun.h"
#include "support/straddledFiles.h"

using straddled::Format;
using straddled::Kind;

Q_DECLARE_METATYPE(Format)

namespace {
struct TheirFrame {
    QByteArray time;   // seconds since 1970 with 9 decimals
    int64_t nanoseconds = 0;
    int length = 0;    // on the wire
    QByteArray bytes;  // as captured
};

// tshark's reading of every frame (no dissection beyond the frame itself).
QList<TheirFrame> tsharkReads(const QString& path)
{
    QProcess tshark;
    tshark.start("tshark", {"-n", "-r", path, "-T", "ek", "-x", "--disable-protocol", "eth"});
    if (!tshark.waitForFinished(120000)) return {};
    QList<TheirFrame> frames;
    for (const QByteArray& line : tshark.readAllStandardOutput().split('\n')) {
        const QJsonObject layers = QJsonDocument::fromJson(line).object().value("layers").toObject();
        if (layers.isEmpty()) continue;   // the index lines between the frames
        const QJsonObject frame = layers.value("frame").toObject();
        TheirFrame f;
        f.time = frame.value("frame_frame_time_epoch").toString().toLatin1();
        f.nanoseconds = f.time.left(f.time.indexOf('.')).toLongLong() * 1000000000 + f.time.mid(f.time.indexOf('.') + 1).toLongLong();
        f.length = frame.value("frame_frame_len").toString().toInt();
        f.bytes = QByteArray::fromHex(layers.value("frame_raw").toString().toLatin1());
        frames << f;
    }
    return frames;
}

int storedLength(const TheirFrame& f) { return int(std::min<qsizetype>(f.bytes.size(), kSlotBytes)); }
}

class TestStreamedTimes : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // The file under test and tshark's reading of the same frames (for a
    // dataset, of a pcap holding them).
    QString file;
    QList<TheirFrame> theirs;
    bool timed = true;

    void prepare(const Format& format)
    {
        const straddled::Written w = straddled::Writer(format).write(4 * int64_t(BlockReader::kCapacity));
        QVERIFY(w.file.size() > 4 * int64_t(BlockReader::kCapacity) && w.boundaries >= 8);
        timed = format.kind != Kind::Dataset;
        file = dir.filePath(timed ? "in.pcap" : "in.nivora");
        QVERIFY(recorded::writeFile(file, w.file));
        QString forTshark = file;
        if (!timed) {
            forTshark = dir.filePath("same.pcap");
            QVERIFY(recorded::writePcap(forTshark, w.frames));
        }
        theirs = tsharkReads(forTshark);
        QCOMPARE(theirs.size(), qsizetype(w.frames.size()));
    }

private slots:
    void everyPathAgreesWithTshark_data()
    {
        QTest::addColumn<Format>("format");
        QTest::newRow("pcap µs") << Format{Kind::Pcap, false, false};
        QTest::newRow("pcap ns, big-endian") << Format{Kind::Pcap, true, true};
        QTest::newRow("pcapng µs") << Format{Kind::Pcapng, false, false};
        QTest::newRow("pcapng ns, big-endian") << Format{Kind::Pcapng, true, true};
        QTest::newRow("dataset") << Format{Kind::Dataset};
    }

    void everyPathAgreesWithTshark()
    {
        QFETCH(Format, format);
        if (QStandardPaths::findExecutable("tshark").isEmpty()) QSKIP("tshark is not installed (scripts/install-deps installs it)");
        prepare(format);
        if (QTest::currentTestFailed()) return;
        const qsizetype n = theirs.size();

        // fields --time: the time, the number and the last byte's index of every
        // frame; info: the count, the frame bytes, the first and last time.
        const QList<QByteArray> rows = runCli({"fields", "--time", file}).out.split('\n');
        QCOMPARE(rows.size(), 1 + n + 1);   // the header, the rows, nothing after the last newline
        int64_t frameBytes = 0;
        for (qsizetype k = 0; k < n; ++k) {
            frameBytes += storedLength(theirs[k]);
            QCOMPARE(rows[k + 1].split('\t').mid(0, 3).join('\t'), (timed ? theirs[k].time : QByteArray()) + "\t"
                                                                     + QByteArray::number(k + 1) + "\t" + QByteArray::number(storedLength(theirs[k]) - 1));
        }
        const QByteArray info = runCli({"info", file}).out;
        QVERIFY2(info.contains("frames:            " + QByteArray::number(n) + "\n")
                     && info.contains("frame bytes:       " + QByteArray::number(frameBytes) + "\n")
                     && (!timed || (info.contains("(" + theirs.first().time + ")\nlast time:") && info.contains("(" + theirs.last().time + ")\n"))),
                 info.constData());

        // convert --window and the same window loaded into the store through the
        // index: the frames as tshark reads them from both files.
        const QString out = dir.filePath("window.pcap");
        QCOMPARE(runCli({"convert", "--window", "2-" + QByteArray::number(n), file, out}).status, 0);
        const QList<TheirFrame> copied = tsharkReads(out);
        LoadObserver quiet;
        FrameIndex index = indexFile(file.toStdString(), quiet);
        QCOMPARE(index.frames, int64_t(n));
        QVERIFY(loadIndexedWindow(index, FrameWindow{2, int64_t(n)}, quiet).ok());
        QCOMPARE(std::pair(copied.size(), qsizetype(getPacketCount())), std::pair(n - 1, n - 1));
        for (qsizetype k = 1; k < n; ++k) {
            const TheirFrame& c = copied[k - 1];
            QCOMPARE(std::tuple(c.bytes, c.length, timed ? c.time : QByteArray()), std::tuple(theirs[k].bytes, theirs[k].length, timed ? theirs[k].time : QByteArray()));
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(packetBytesOf(k)), getPacketLength(k) + 1), theirs[k].bytes.left(kSlotBytes));
            QCOMPARE(getCaptureTime(k), timed ? theirs[k].nanoseconds : kNoTime);
        }

        // The overviews count every frame where its number and time put it.
        FrameOverview byNumber, byTime;
        for (qsizetype k = 0; k < n; ++k) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(theirs[k].bytes.constData());
            const TrafficKind kind = trafficKindOf(bytes, size_t(theirs[k].bytes.size()));
            byNumber.add(k, kind, uint32_t(theirs[k].bytes.size()));
            byTime.add(theirs[k].nanoseconds - theirs[0].nanoseconds, kind, uint32_t(theirs[k].bytes.size()));
        }
        const auto same = [](const FrameOverview& a, const FrameOverview& b) {
            if (a.binWidth() != b.binWidth() || a.bins().size() != b.bins().size()) return false;
            for (size_t i = 0; i < a.bins().size(); ++i)
                if (a.bins()[i].frames != b.bins()[i].frames || a.bins()[i].bytes != b.bins()[i].bytes) return false;
            return true;
        };
        QVERIFY(same(index.overview, byNumber));
        const int64_t bins = int64_t(byNumber.bins().size()), width = byNumber.binWidth();   // at most 512, as narrow as that allows
        QVERIFY(bins > 256 && bins <= 512 && (bins - 1) * width < n && bins * width >= n);
        QCOMPARE(index.timedFrames, timed ? int64_t(n) : 0);
        QVERIFY(!timed || (index.firstTime == theirs[0].nanoseconds && same(index.byTime, byTime)));
    }
};

QTEST_GUILESS_MAIN(TestStreamedTimes)
#include "test_streamedTimes.moc"
