// Saving the held packets: the dataset layout byte for byte, frames a dataset
// cannot carry left out and counted while a capture keeps them, the ring's
// order, conversion (capture times kept), failures that leave no file behind,
// and what an overwritten file keeps.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include "core/atomicFile.h"
#include "core/datasetWriter.h"
#include "core/fileConvert.h"
#include "core/fileLoader.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;
using recorded::readFile;
using recorded::stampsIn;
using recorded::stored;
using recorded::withTrailerAt;

namespace {
std::vector<Frame> held()
{
    std::vector<Frame> all;
    for (int64_t n = firstHeldPacket(); n <= getPacketCount(); ++n) all.push_back(stored(n));
    return all;
}

// Every file in a folder, hidden ones (where temporary files go) included.
QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System); }
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
        const QByteArray saved = readFile(dir.filePath("a.nivora"));
        QCOMPARE(saved, recorded::dataset(carriable));

        // Loading it back gives the same frames, and saving again the same bytes.
        reload("a.nivora");
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
        QCOMPARE(r.leftOutTrailer, 2);
        QCOMPARE(r.leftOutTooLong, 2);
        const QString told = QString::fromStdString(describeLeftOut(r));
        QVERIFY2(told.startsWith("4 frame(s) were left out") && told.contains("2 longer than 1585 bytes")
                     && told.contains("2 containing the record trailer text"),
                 qPrintable(told));
        QCOMPARE(readFile(dir.filePath("c.nivora")), recorded::dataset({all[0], all[5]}));

        QCOMPARE(saveHeldPackets(path("d.PCAP")).written, 6);
        reload("d.PCAP");
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
        QCOMPARE(filesIn(own.path()), QStringList{"keep.txt"});
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
        // A dataset keeps no times: one millisecond apart, the captured length on the wire.
        QCOMPARE(stampsIn(dir.filePath("back.pcap")).mid(999, 2), (QStringList{"0.999000 65", "1.000000 66"}));
    }

    void convertKeepsCaptureTimesAndWireLengths()
    {
        // Frames cut to 96 bytes on capture: the wire length is more than what the file holds.
        QVERIFY(recorded::writePcap(dir.filePath("cut.pcap"), {frames::ipv4(1514, 6), frames::ipv4(200, 17)}, DLT_EN10MB, 96));
        const QStringList written = {"1700000000.000000 1514", "1700000001.000001 200"};
        for (const char* out : {"copy.pcap", "cut.pcap"}) {   // a copy, then the file onto itself
            QCOMPARE(convertFile(path("cut.pcap"), path(out)).write.ok, QByteArray(out) == "copy.pcap");
            QCOMPARE(stampsIn(dir.filePath(out)), written);
        }
    }

    // An existing file replaced keeps its permission bits, a symbolic link is
    // written through to its target, and a name near the length limit works.
    void overwriteKeepsModeAndLinks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("linkTo");   // empty: the name is a plain file or none
        QTest::addColumn<int>("mode");         // the old file's; 0: none there
        QTest::addColumn<int>("modeAfter");
        const mode_t mask = ::umask(0);
        ::umask(mask);
        const int usual = 0666 & ~int(mask);
        QTest::newRow("0600 file") << "private.nivora" << "" << 0600 << 0600;
        QTest::newRow("0640 file") << "group.nivora" << "" << 0640 << 0640;
        QTest::newRow("new file") << "new.nivora" << "" << 0 << usual;
        QTest::newRow("symbolic link") << "link.nivora" << "target.nivora" << 0604 << 0604;
        QTest::newRow("link to no file yet") << "dangling.nivora" << "made.nivora" << 0 << usual;
        QTest::newRow("247-character name") << QString(240, 'n') + ".nivora" << "" << 0 << usual;
    }
    void overwriteKeepsModeAndLinks()
    {
        QFETCH(QString, name);
        QFETCH(QString, linkTo);
        QFETCH(int, mode);
        QFETCH(int, modeAfter);
        const QString at = dir.filePath(name), target = linkTo.isEmpty() ? at : dir.filePath(linkTo);
        if (mode) QVERIFY(recorded::writeFile(target, "old") && ::chmod(QFile::encodeName(target), mode_t(mode)) == 0);
        if (!linkTo.isEmpty()) QVERIFY(QFile::link(linkTo, at));   // relative, as links often are
        recorded::store(frames::ipv4(60, 6));
        const SaveReport r = saveHeldPackets(at.toStdString());
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(readFile(target), recorded::dataset({frames::ipv4(60, 6)}));
        QCOMPARE(QFileInfo(at).isSymLink(), !linkTo.isEmpty());
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(target), &info) == 0);
        QCOMPARE(int(info.st_mode & 07777), modeAfter);
        QVERIFY(filesIn(dir.path()).filter(".nivora-").isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestDatasetWriter)
#include "test_datasetWriter.moc"
