// Saving the held packets: the dataset layout byte for byte, frames a dataset
// cannot carry left out and counted while a capture keeps them, the ring's
// order, conversion, and failures that leave no file behind.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "core/atomicFile.h"
#include "core/datasetWriter.h"
#include "core/fileConvert.h"
#include "core/fileLoader.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;
using recorded::readFile;
using recorded::stored;
using recorded::withTrailerAt;

namespace {
std::vector<Frame> held()
{
    std::vector<Frame> all;
    for (int64_t n = firstHeldPacket(); n <= getPacketCount(); ++n) all.push_back(stored(n));
    return all;
}
}

class TestDatasetWriter : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoadObserver quiet;

    std::string path(const QString& name) { return dir.filePath(name).toStdString(); }
    // Empties the store and loads the file into it.
    LoadReport reload(const QString& name)
    {
        resetBuffer("startup");
        return loadAnyFile(path(name), quiet);
    }

private slots:
    void init() { resetBuffer("startup"); }

    void datasetLayoutAndRoundTrip()
    {
        // Frames a dataset can carry, edge cases included.
        const std::vector<Frame> carriable = {
            Frame{0x42}, frames::ipv4(60, 6), frames::ipv4(1585, 17, 0, 0, 5, '>'),
            withTrailerAt(0, 40),   // at offset 0 the reader has gathered only 16 bytes: no split
            recorded::frameOf("ends in a partial trailer <NIVORA[CR][LF]")};
        for (const Frame& f : carriable) recorded::store(f);
        const SaveReport r = saveHeldPackets(path("a.nivora"));
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.format, SaveFormat::Dataset);
        QCOMPARE(r.written, 5);
        QCOMPARE(r.leftOut(), 0);
        const QByteArray saved = readFile(dir.filePath("a.nivora"));
        QCOMPARE(saved, recorded::dataset(carriable));

        // Loading it back gives the same frames, and saving again the same bytes.
        QCOMPARE(reload("a.nivora").packetsStored, 5);
        QVERIFY(held() == carriable);
        QVERIFY(saveHeldPackets(path("b.nivora")).ok);
        QCOMPARE(readFile(dir.filePath("b.nivora")), saved);
    }

    void framesADatasetCannotCarryAreLeftOutAndCountedButACaptureKeepsThem()
    {
        const std::vector<Frame> all = {
            frames::ipv4(60, 6),
            withTrailerAt(20, 100),   // would split in two on reading
            withTrailerAt(1, 17),     // the earliest split: 17 bytes gathered
            frames::ipv4(1586, 6),    // one byte too long
            Frame(1601, 0x11),        // the longest a slot holds
            frames::ipv4(61, 17)};
        for (const Frame& f : all) recorded::store(f);
        const SaveReport r = saveHeldPackets(path("c.nivora"));
        QVERIFY(r.ok);
        QCOMPARE(r.written, 2);
        QCOMPARE(r.leftOutTrailer, 2);
        QCOMPARE(r.leftOutTooLong, 2);
        const QString told = QString::fromStdString(describeLeftOut(r));
        QVERIFY2(told.startsWith("4 frame(s) were left out") && told.contains("2 longer than 1585 bytes")
                     && told.contains("2 containing the record trailer text"),
                 qPrintable(told));
        QCOMPARE(readFile(dir.filePath("c.nivora")), recorded::dataset({all[0], all[5]}));

        const SaveReport pcap = saveHeldPackets(path("d.PCAP"));
        QVERIFY2(pcap.ok, pcap.error.c_str());
        QCOMPARE(pcap.format, SaveFormat::Pcap);
        QCOMPARE(pcap.written, 6);
        QCOMPARE(reload("d.PCAP").packetsStored, 6);
        QVERIFY(held() == all);
    }

    void wrappedRingIsSavedOldestFirst()
    {
        for (int n = 1; n <= 30005; ++n) {
            Frame f = frames::ipv4(60, 6);
            f[50] = uint8_t(n);
            f[51] = uint8_t(n >> 8);
            recorded::store(f);
        }
        QCOMPARE(saveHeldPackets(path("ring.nivora")).written, 30000);
        reload("ring.nivora");
        auto numberOf = [](int64_t n) { return getPacketByte(n, 50) | getPacketByte(n, 51) << 8; };
        QCOMPARE(numberOf(1), 6);
        QCOMPARE(numberOf(30000), 30005);
    }

    void failuresLeaveNoFile()
    {
        QTemporaryDir own;
        auto at = [&](const char* name) { return own.filePath(name).toStdString(); };
        recorded::store(frames::ipv4(60, 6));
        const SaveReport missingFolder = saveHeldPackets(at("no/such/folder/x.nivora"));
        QVERIFY(!missingFolder.ok);
        QVERIFY(QString::fromStdString(missingFolder.error).contains("no/such/folder/x.nivora"));

        QVERIFY(recorded::writeFile(own.filePath("keep.txt"), "precious"));
        const SaveReport unknown = saveHeldPackets(at("keep.txt"));
        QVERIFY(!unknown.ok);
        QVERIFY(QString::fromStdString(unknown.error).contains(".nivora"));
        {   // A write that stops half-way (the program fails before commit).
            AtomicFile half(at("keep.txt"));
            QVERIFY(half.open());
            QVERIFY(half.write("overwritten", 11));
        }
        QCOMPARE(readFile(own.filePath("keep.txt")), QByteArray("precious"));
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
        QCOMPARE(readFile(dir.filePath("out.nivora")), recorded::dataset(all));

        const ConvertReport back = convertFile(path("out.nivora"), path("back.pcap"));
        QVERIFY(back.write.ok);
        QCOMPARE(back.write.written, 30010);
        QCOMPARE(back.read.recordsFound, 30010);
    }
};

QTEST_APPLESS_MAIN(TestDatasetWriter)
#include "test_datasetWriter.moc"
