// Saving the held packets: the dataset layout byte for byte, frames a dataset
// cannot carry left out and counted, pcap output, the ring's order, and
// failures that leave no file behind.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "core/accessors.h"
#include "core/atomicFile.h"
#include "core/datasetWriter.h"
#include "core/fileConvert.h"
#include "core/fileLoader.h"
#include "core/modLibrary.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void add(const Frame& f) { addPacket(f.data(), int(f.size()) - 1); }
Frame stored(int64_t n) { return Frame(packetBytesOf(n), packetBytesOf(n) + getPacketLength(n) + 1); }

Frame withTrailerAt(size_t at, size_t size)
{
    Frame f = frames::ipv4(int(size), 6);
    const QByteArray t = recorded::kTrailer;
    std::copy(t.begin(), t.end(), f.begin() + long(at));
    return f;
}

// Frames a dataset can carry, edge cases included.
std::vector<Frame> carriable()
{
    return {Frame{0x42}, frames::ipv4(60, 6), frames::ipv4(1585, 17, 0, 0, 5, '>'),
            withTrailerAt(0, 40),   // at offset 0 the reader has gathered only 16 bytes: no split
            recorded::frameOf("ends in a partial trailer <NIVORA[CR][LF]")};
}
}

class TestDatasetWriter : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::string path(const QString& name) { return dir.filePath(name).toStdString(); }

private slots:
    void init() { resetBuffer("startup"); }

    void datasetLayoutAndRoundTrip()
    {
        for (const Frame& f : carriable()) add(f);
        const SaveReport r = saveHeldPackets(path("a.nivora"));
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.format, SaveFormat::Dataset);
        QCOMPARE(r.written, 5);
        QCOMPARE(r.leftOut(), 0);
        const QByteArray saved = readAll(dir.filePath("a.nivora"));
        QCOMPARE(saved, recorded::dataset(carriable()));

        // Loading it back gives the same frames, and saving again the same bytes.
        resetBuffer("startup");
        LoadObserver quiet;
        QCOMPARE(loadDatasetFile(path("a.nivora"), quiet).packetsStored, 5);
        for (int k = 0; k < 5; ++k) QCOMPARE(stored(k + 1), carriable()[size_t(k)]);
        QVERIFY(saveHeldPackets(path("b.nivora")).ok);
        QCOMPARE(readAll(dir.filePath("b.nivora")), saved);
    }

    void framesADatasetCannotCarryAreLeftOutAndCounted()
    {
        add(frames::ipv4(60, 6));
        add(withTrailerAt(20, 100));                 // would split in two on reading
        add(withTrailerAt(1, 17));                   // the earliest split: 17 bytes gathered
        add(frames::ipv4(1586, 6));                  // one byte too long
        add(Frame(1601, 0x11));                      // the longest a slot holds
        add(frames::ipv4(61, 17));
        const SaveReport r = saveHeldPackets(path("c.nivora"));
        QVERIFY(r.ok);
        QCOMPARE(r.written, 2);
        QCOMPARE(r.leftOutTrailer, 2);
        QCOMPARE(r.leftOutTooLong, 2);
        const QString told = QString::fromStdString(describeLeftOut(r));
        QVERIFY2(told.startsWith("4 frame(s) were left out") && told.contains("2 longer than 1585 bytes")
                     && told.contains("2 containing the record trailer text"),
                 qPrintable(told));
        QCOMPARE(readAll(dir.filePath("c.nivora")), recorded::dataset({frames::ipv4(60, 6), frames::ipv4(61, 17)}));
    }

    void pcapKeepsEveryFrame()
    {
        add(withTrailerAt(20, 100));
        add(Frame(1601, 0x11));
        add(Frame{0x42});
        const SaveReport r = saveHeldPackets(path("d.PCAP"));
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.format, SaveFormat::Pcap);
        QCOMPARE(r.written, 3);
        const std::vector<Frame> before = {stored(1), stored(2), stored(3)};
        resetBuffer("startup");
        LoadObserver quiet;
        QCOMPARE(loadCaptureFile(path("d.PCAP"), quiet).packetsStored, 3);
        for (int k = 0; k < 3; ++k) QCOMPARE(stored(k + 1), before[size_t(k)]);
    }

    void wrappedRingIsSavedOldestFirst()
    {
        for (int n = 1; n <= 30005; ++n) {
            Frame f = frames::ipv4(60, 6);
            f[50] = uint8_t(n);
            f[51] = uint8_t(n >> 8);
            add(f);
        }
        QVERIFY(saveHeldPackets(path("ring.nivora")).written == 30000);
        resetBuffer("startup");
        LoadObserver quiet;
        loadDatasetFile(path("ring.nivora"), quiet);
        auto numberOf = [](int64_t n) { return getPacketByte(n, 50) | getPacketByte(n, 51) << 8; };
        QCOMPARE(numberOf(1), 6);
        QCOMPARE(numberOf(30000), 30005);
    }

    void failuresLeaveNoFile()
    {
        QTemporaryDir own;
        auto at = [&](const char* name) { return own.filePath(name).toStdString(); };
        add(frames::ipv4(60, 6));
        const SaveReport missingFolder = saveHeldPackets(at("no/such/folder/x.nivora"));
        QVERIFY(!missingFolder.ok);
        QVERIFY(QString::fromStdString(missingFolder.error).contains("no/such/folder/x.nivora"));

        QVERIFY(recorded::writeFile(own.filePath("keep.txt"), "precious"));
        const SaveReport unknown = saveHeldPackets(at("keep.txt"));
        QVERIFY(!unknown.ok);
        QVERIFY(QString::fromStdString(unknown.error).contains(".nivora"));
        QCOMPARE(readAll(own.filePath("keep.txt")), QByteArray("precious"));

        {   // A write that stops half-way (the program fails before commit).
            AtomicFile half(at("keep.txt"));
            QVERIFY(half.open());
            QVERIFY(half.write("overwritten", 11));
        }
        QCOMPARE(readAll(own.filePath("keep.txt")), QByteArray("precious"));
        // Nothing half-written is left lying about.
        QCOMPARE(QDir(own.path()).entryList(QDir::Files), QStringList{"keep.txt"});
    }

    void convertGoesBothWaysWithoutTheStoreLimit()
    {
        std::vector<Frame> all;
        for (int n = 0; n < 30010; ++n) all.push_back(frames::ipv4(60 + n % 7, 17, uint16_t(n)));
        all.push_back(withTrailerAt(30, 80));
        QVERIFY(recorded::writePcap(dir.filePath("in.pcap"), all));

        const ConvertReport toDataset = convertFile(path("in.pcap"), path("out.nivora"));
        QVERIFY(toDataset.read.ok() && toDataset.write.ok);
        QCOMPARE(toDataset.write.written, 30010);
        QCOMPARE(toDataset.write.leftOutTrailer, 1);
        all.pop_back();
        QCOMPARE(readAll(dir.filePath("out.nivora")), recorded::dataset(all));

        const ConvertReport back = convertFile(path("out.nivora"), path("back.pcap"));
        QVERIFY(back.write.ok);
        QCOMPARE(back.write.written, 30010);
        QCOMPARE(back.read.recordsFound, 30010);
    }
};

QTEST_APPLESS_MAIN(TestDatasetWriter)
#include "test_datasetWriter.moc"
