// Recorded files, read into the store and written from it. Reading: the
// record rule, the 30000 limit, appending past 2^31 packets after a declined
// reset, oversized records, captures told from datasets by content, long
// frames cut to the slot, refused files, and files that change or break off
// while read. Writing: the dataset layout byte for byte, frames a dataset
// cannot carry left out and told while a capture keeps them, the ring's order,
// conversion (capture times kept), failures that leave no file behind, and what
// an overwritten file keeps.
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <sys/stat.h>

#include "core/atomicFile.h"
#include "core/datasetWriter.h"
#include "core/fileConvert.h"
#include "core/fileLoader.h"
#include "core/storeHost.h"
#include "support/frames.h"
#include "support/recordedFiles.h"
#include "support/watchdog.h"

using recorded::Frame;
using recorded::stored;

namespace {

using recorded::numbered;
using recorded::numberOf;
using recorded::RecordingObserver;

const std::vector<Frame> kSample = {frames::ipv4(60, 6), frames::ipv4(1514, 17), frames::ipv4(61, 1)};
// Every file in a folder, hidden ones (where temporary files go) included.
QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }
}

class TestRecordedFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    RecordingObserver observer;

    std::string path(const QString& name) { return dir.filePath(name).toStdString(); }
    LoadReport load(const QByteArray& bytes)
    {
        recorded::writeFile(dir.filePath("t.nivora"), bytes);
        return loadDatasetFile(path("t.nivora"), observer);
    }
    // Empties the store, loads the file into it and gives back what it holds.
    std::vector<Frame> reload(const QString& name)
    {
        resetBuffer("startup");
        loadAnyFile(path(name), observer);
        std::vector<Frame> held;
        for (int64_t n = firstHeldPacket(); n <= getPacketCount(); ++n) held.push_back(recorded::stored(n));
        return held;
    }

private slots:
    void init()
    {
        observer = RecordingObserver{};
        resetBuffer("startup");
    }
    void cleanup() { setStoreHost(nullptr); }

    void recordBoundaries_data()
    {
        const QByteArray H = recorded::kHeader, T = recorded::kTrailer;
        QTest::addColumn<QByteArray>("bytes");
        using Packets = QList<QByteArray>;
        QTest::addColumn<Packets>("packets");
        QTest::newRow("header only") << H << Packets{};
        QTest::newRow("one-byte frame") << H + "A" + T << Packets{"A"};
        // Only 16 bytes gathered at its '>': the trailer becomes frame bytes.
        QTest::newRow("trailer after the header") << H + T + "xy" + T << Packets{T + "xy"};
        QTest::newRow("trailer after a trailer") << H + "ab" + T + T + "c" + T << Packets{"ab", T + "c"};
        QTest::newRow("bytes after the last trailer") << H + "abc" + T + "no trailer" << Packets{"abc"};
        QTest::newRow("partial trailers") << H + ">>NIVORA[CR][LF]x>" + T << Packets{">>NIVORA[CR][LF]x>"};
    }
    void recordBoundaries()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, packets);
        const LoadReport r = load(bytes);
        QCOMPARE(r.packetsStored, packets.size());
        for (int k = 0; k < packets.size(); ++k) QCOMPARE(recorded::bytesOf(stored(k + 1)), packets[k]);
        // Told in order: the file, the reset, then after each record the offset just past it and a pause.
        QStringList told = {QString("opened %1").arg(bytes.size()), "read", "reset"};
        qsizetype at = recorded::kHeader.size();
        for (const QByteArray& p : packets) told << QString("progress %1").arg(at += p.size() + 16) << "yield";
        QCOMPARE(observer.events, told);
        // What follows the last trailer is told (a record cut short), without calling the load incomplete.
        QCOMPARE(r.trailingBytes, bytes.size() - at);
        QCOMPARE(loadNotes(r, "t").size(), size_t(r.trailingBytes > 0));
        QVERIFY(!r.incomplete());
    }

    // Told only when a record beyond the 30000th exists; every record is counted.
    void capacity()
    {
        for (const int records : {30000, 30001}) {
            const LoadReport report = load(recorded::dataset(numbered(1, records)));
            const bool capped = records > 30000;
            QCOMPARE(observer.events.filter("capacity").size(), int(capped));
            QCOMPARE(std::pair(report.capped, report.recordsFound), std::pair(capped, int64_t(records)));
            QCOMPARE(report.packetsStored, 30000);
            QCOMPARE(std::pair(numberOf(1), numberOf(30000)), std::pair(1, 30000));
        }
    }

    // 2^31 frames are six hours of capture at 100000 a second: the count goes on.
    void packetNumbersPastTwoToThe31()
    {
        constexpr int64_t before = std::numeric_limits<int32_t>::max() - 2;
        store_detail::packetCount = before;
        store_detail::writeSlot = packetSlot(before);
        struct : StoreHost {
            Answer confirmOverwrite() override { return Answer::No; }   // No: the new packets go behind
        } declining;
        setStoreHost(&declining);
        const LoadReport report = load(recorded::dataset(numbered(1, 5)));
        QCOMPARE(std::pair(report.firstPacket, report.lastPacket), std::pair(before + 1, before + 5));
        QCOMPARE(firstHeldPacket(), before + 5 - 29999);
        for (int k = 1; k <= 5; ++k) QCOMPARE(numberOf(before + k), k);
    }

    void oversizedRecordIsSkipped()
    {
        const Frame largest(1585, 'L');      // 1601 with its trailer: fits
        const Frame oneTooMany(1586, 'M');   // 1602: skipped
        // The longest is read through in pieces, never held whole.
        const std::vector<Frame> records = {kSample[0], Frame(500000, 'H'), kSample[2], oneTooMany, largest};
        const LoadReport r = load(recorded::dataset(records));
        QCOMPARE(std::pair(r.recordsFound, r.oversizedSkipped), std::pair(int64_t(5), int64_t(2)));
        QVERIFY(stored(1) == records[0] && stored(2) == records[2] && stored(3) == largest);
        const QString note = QString::fromStdString(loadNotes(r, "x.nivora").at(0));
        // The first starts past the header and the 60 + 16 bytes of the first record.
        QVERIFY2(note.contains("2 record(s)") && note.contains("offset 84"), qPrintable(note));
    }

    // Frames longer than a slot are cut to it; a capture that breaks off keeps
    // the frames before. Both are told.
    void longFramesAndABrokenCapture()
    {
        Frame jumbo = frames::ipv4(9000, 17);
        jumbo[1600] = 0x77;
        const QString file = dir.filePath("j.pcap");
        QVERIFY(recorded::writePcap(file, {jumbo, kSample[0], kSample[1]}));
        QVERIFY(QFile::resize(file, QFileInfo(file).size() - 10));   // the last frame breaks off
        const LoadReport r = loadCaptureFile(path("j.pcap"), observer);
        QVERIFY(r.ok() && r.incomplete());
        QCOMPARE(std::pair(r.packetsStored, r.truncatedFrames), std::pair(int64_t(2), int64_t(1)));
        QCOMPARE(std::pair(getPacketLength(1), getPacketByte(1, 1600)), std::pair(1600, uint8_t(0x77)));
        QVERIFY(recorded::stored(2) == kSample[0]);   // the next frame whole
        const auto notes = loadNotes(r, "j.pcap");
        QVERIFY(QString::fromStdString(notes.at(1)).contains("could not be read to its end"));
    }

    // A file that is no dataset or capture, or cannot be read, is named and
    // leaves the store untouched: no question, the held packet still there,
    // no views cleared. (Other link types: TestLinkHeader.)
    void refusedFilesLeaveTheStoreAlone_data()
    {
        QTest::addColumn<QString>("name");   // a dataset's or a capture's, for the loader of that kind
        QTest::addColumn<QByteArray>("bytes");   // null: not written
        QTest::addColumn<QString>("reason");
        const QString notDataset = "is not a nivora format file: it does not begin with \"<NIVORA>\"";
        // Refused from its first 8 bytes, without reading (or holding) the rest.
        QTest::newRow("a terabyte, no dataset") << "huge.nivora" << recorded::dataset(kSample).toLower() << notDataset;
        QTest::newRow("a folder") << "folder.nivora" << QByteArray() << "not a regular file";
        // Refused at once: opening a pipe for reading would wait for a writer.
        // and pointed to where it is read as a live stream.
        QTest::newRow("a named pipe") << "pipe.nivora" << QByteArray()
                                      << "not a regular file but a named pipe, which is read as a live stream "
                                         "(the Capture window's \"Named pipe\u2026\", or nivora-cli capture -i PATH)";
        QTest::newRow("a named pipe as capture") << "pipe.pcap" << QByteArray() << "not a regular file";
        QTest::newRow("not a capture") << "text.pcap" << QByteArray("just text") << "is not a pcap or pcapng";
        QTest::newRow("text as a dataset") << "text.nivora" << QByteArray("just text, no frames")
                                           << "is neither a nivora dataset nor a pcap or pcapng capture: it begins with the text \"just text, no fr\"";
        QTest::newRow("missing capture") << "none.pcap" << QByteArray() << "Cannot open";
    }
    void refusedFilesLeaveTheStoreAlone()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QDir(dir.path()).mkdir("folder.nivora");
        if (name.startsWith("pipe")) ::mkfifo(path(name).c_str(), 0600);
        if (!bytes.isNull()) QVERIFY(recorded::writeFile(dir.filePath(name), bytes));
        if (name == "huge.nivora") QVERIFY(QFile::resize(dir.filePath(name), qint64(1) << 40));   // sparse
        recorded::store(kSample[0]);
        const Watchdog watchdog("loading " + path(name), std::chrono::seconds(20));
        const LoadReport r = (name.endsWith(".pcap") ? loadCaptureFile : loadDatasetFile)(path(name), observer);
        if (name.startsWith("pipe")) QCOMPARE(loadAnyFile(path(name), observer).message, r.message);   // told apart unread
        const QString said = QString::fromStdString(r.message);
        QVERIFY2(!r.ok() && said.contains(dir.filePath(name)) && said.contains(reason), qPrintable(said));
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(!observer.events.contains("reset"));
    }

    // The file is deleted or cut short once its header is checked: the open
    // file is read to its end, or the records before the cut are loaded.
    void fileChangesWhileLoading()
    {
        const QString file = dir.filePath("t.nivora");
        for (const bool deleted : {true, false}) {
            // Deleted, or cut 27 bytes into the third record (8 + 77 + 78 + 27).
            observer.whenRead = [&] { QVERIFY(deleted ? QFile::remove(file) : QFile::resize(file, 190)); };
            const LoadReport r = load(recorded::dataset(numbered(1, 3)));
            QVERIFY(r.ok() && !r.incomplete());
            QCOMPARE(r.packetsStored, deleted ? 3 : 2);
        }
    }

    void datasetLayoutAndRoundTrip()
    {
        const std::vector<Frame> all = {
            recorded::withTrailerAt(20, 100),   // would split in two on reading: left out
            Frame{0x42}, frames::ipv4(1585, 17, 0, 0, 5, '>'),
            recorded::withTrailerAt(1, 17),   // the earliest split, 17 bytes gathered: left out
            recorded::withTrailerAt(0, 40),   // at offset 0 the reader has gathered only 16 bytes: no split
            frames::ipv4(1586, 6),            // one byte too long: left out
            Frame(1601, 0x11),                // the longest a slot holds: left out
            recorded::frameOf("ends in a partial trailer <NIVORA[CR][LF]")};
        const std::vector<Frame> carriable = {all[1], all[2], all[4], all[7]};
        for (const Frame& f : all) recorded::store(f);
        const SaveReport r = saveHeldPackets(path("a.nivora"));
        QCOMPARE(recorded::readFile(dir.filePath("a.nivora")), recorded::dataset(carriable));
        const QString told = QString::fromStdString(describeLeftOut(r));
        QVERIFY2(told.startsWith("4 frame(s) were left out") && told.contains("2 longer than 1585 bytes")
                     && told.contains("2 containing the record trailer text"),
                 qPrintable(told));
        QCOMPARE(saveHeldPackets(path("b.PCAP")).written, 8);   // a capture keeps every frame

        QVERIFY(reload("a.nivora") == carriable);
        QVERIFY(reload("b.PCAP") == all);
    }

    void wrappedRingIsSavedOldestFirst()
    {
        for (int n = 1; n <= 30005; ++n) recorded::store(frames::ipv4(60, 17, uint16_t(n)));
        QCOMPARE(saveHeldPackets(path("ring.nivora")).written, 30000);
        const std::vector<Frame> held = reload("ring.nivora");
        QVERIFY(held.front() == frames::ipv4(60, 17, 6) && held.back() == frames::ipv4(60, 17, 30005));
    }

    // A save that cannot be made, or stops half-way, leaves the old file as it
    // was and no temporary file. (A named pipe as output: TestCli.)
    void failuresLeaveNoFile()
    {
        QTemporaryDir own;
        const QString keep = own.filePath("keep.txt");
        QVERIFY(recorded::writeFile(keep, "precious"));
        recorded::store(frames::ipv4(60, 6));
        const SaveReport unknown = saveHeldPackets(keep.toStdString());   // neither .nivora nor .pcap
        QVERIFY2(!unknown.ok && QString::fromStdString(unknown.error).contains(keep), unknown.error.c_str());
        {   // The program fails before the commit.
            AtomicFile half(keep.toStdString());
            QVERIFY(half.open() && half.write("overwritten", 11));
        }
        QCOMPARE(recorded::readFile(keep), QByteArray("precious"));
        QCOMPARE(filesIn(own.path()), QStringList{"keep.txt"});
    }

    // Conversion reads through the file, not the store's 30000 slots. A capture
    // keeps its times and wire lengths; a dataset keeps none.
    void convertGoesBothWaysWithoutTheStoreLimit()
    {
        std::vector<Frame> all;
        for (int n = 0; n < 30010; ++n) all.push_back(frames::ipv4(60 + n % 7, 17, uint16_t(n)));
        // Cut to 64 bytes on capture: the wire length is more than what the file holds.
        QVERIFY(recorded::writePcap(dir.filePath("in.pcap"), all, DLT_EN10MB, 64));
        QVERIFY(convertFile(path("in.pcap"), path("copy.pcap")).write.ok);
        QCOMPARE(recorded::stampsIn(dir.filePath("copy.pcap")).mid(999, 2),
                 (QStringList{"1700000999.000999 65", "1700001000.001000 66"}));

        const ConvertReport toDataset = convertFile(path("in.pcap"), path("out.nivora"));
        QCOMPARE(toDataset.write.written, 30010);
        for (Frame& f : all) f.resize(std::min(f.size(), size_t(64)));
        QCOMPARE(recorded::readFile(dir.filePath("out.nivora")), recorded::dataset(all));
        QCOMPARE(convertFile(path("out.nivora"), path("back.pcap")).write.written, 30010);
        // One millisecond apart, the captured length on the wire.
        QCOMPARE(recorded::stampsIn(dir.filePath("back.pcap")).mid(999, 3),
                 (QStringList{"0.999000 64", "1.000000 64", "1.001000 60"}));
    }

    // Capture times from each kind of file, to the store, back out through
    // a save and through conversion: every time kept at the file's resolution
    // (nanoseconds once any time needs them), whatever its order or year.
    void timesRoundTrip_data()
    {
        using recorded::FileTime;
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("held");    // seconds since 1970 with 9 decimals
        QTest::addColumn<QStringList>("saved");   // the pcap's unit, then each record's time
        const auto three = numbered(1, 3);
        const auto two = numbered(1, 2);
        QTest::newRow("pcap us: backwards, equal, zero")
            << recorded::pcapFile(numbered(1, 4), {{1700000000, 1}, {1699999999, 999999}, {1699999999, 999999}, {0, 0}}, false)
            << QStringList{"1700000000.000001000", "1699999999.999999000", "1699999999.999999000", "0.000000000"}
            << QStringList{"us", "1700000000.000001", "1699999999.999999", "1699999999.999999", "0.000000"};
        QTest::newRow("pcap ns") << recorded::pcapFile(two, {{1700000000, 1}, {1700000000, 999999999}}, true)
                                 << QStringList{"1700000000.000000001", "1700000000.999999999"}
                                 << QStringList{"ns", "1700000000.000000001", "1700000000.999999999"};
        QTest::newRow("pcap ns, whole microseconds") << recorded::pcapFile(two, {{1700000000, 5000}, {1700000001, 0}}, true)
                                                     << QStringList{"1700000000.000005000", "1700000001.000000000"}
                                                     << QStringList{"us", "1700000000.000005", "1700000001.000000"};
        QTest::newRow("pcap past 2038") << recorded::pcapFile(two, {{3000000000, 7}, {4294967295, 999999}}, false)
                                        << QStringList{"3000000000.000007000", "4294967295.999999000"}
                                        << QStringList{"us", "3000000000.000007", "4294967295.999999"};
        QTest::newRow("pcapng 10^-9 with if_tsoffset")
            << recorded::pcapng(two, 1, {9, 1000000000}, {700000000123456789, 0})
            << QStringList{"1700000000.123456789", "1000000000.000000000"}
            << QStringList{"ns", "1700000000.123456789", "1000000000.000000000"};
        // A pcap file's seconds end in 2106: the time past it is put 1 ms after the one before, and told.
        QTest::newRow("pcapng past 2106") << recorded::pcapng(three, 1, {}, {1700000000000000, 5000000000000042, 1})
                                          << QStringList{"1700000000.000000000", "5000000000.000042000", "0.000001000"}
                                          << QStringList{"us", "1700000000.000000", "1700000000.001000", "0.000001"};
        // 2^63 microseconds reach past what 64 bits of nanoseconds hold: that frame has no time.
        QTest::newRow("pcapng past 2262") << recorded::pcapng(two, 1, {}, {1700000000000000, 1ull << 63})
                                          << QStringList{"1700000000.000000000", ""}
                                          << QStringList{"us", "1700000000.000000", "1700000000.001000"};
        // An offset of -2 s takes the first frame before 1970, which a pcap file cannot hold either.
        QTest::newRow("pcapng before 1970") << recorded::pcapng(two, 1, {6, -2}, {500000, 3000000})
                                            << QStringList{"-1.500000000", "1.000000000"}
                                            << QStringList{"us", "0.000000", "1.000000"};
    }
    void timesRoundTrip()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, held);
        QFETCH(QStringList, saved);
        QVERIFY(recorded::writeFile(dir.filePath("in.cap"), file));
        const auto heldTimes = [] {
            QStringList times;
            for (int64_t n = firstHeldPacket(); n <= getPacketCount(); ++n)
                times << QString::fromStdString(epochSecondsText(getCaptureTime(n)));
            return times;
        };
        QCOMPARE(reload("in.cap").size(), size_t(held.size()));
        QCOMPARE(heldTimes(), held);
        const bool outOfRange = QString(QTest::currentDataTag()).contains(QRegularExpression("2106|1970"));
        const SaveReport report = saveHeldPackets(path("out.pcap"));
        QCOMPARE(report.timesOutOfRange, int64_t(outOfRange));
        QCOMPARE(QString::fromStdString(describeLeftOut(report)).contains("past 2106"), outOfRange);
        QCOMPARE(recorded::pcapTimes(recorded::readFile(dir.filePath("out.pcap"))), saved);
        QVERIFY(convertFile(path("in.cap"), path("converted.pcap")).write.ok);
        QCOMPARE(recorded::pcapTimes(recorded::readFile(dir.filePath("converted.pcap"))), saved);
        if (outOfRange || held.contains(QString())) return;   // what the file could not hold comes back as written
        reload("out.pcap");   // and back in: the same times
        QCOMPARE(heldTimes(), held);
    }

    // Each packet keeps its length on the wire: a capture's record length
    // (cut short by a snapshot length or by the slot), a dataset frame's own
    // length; a save writes it back. Files are told apart by what they hold,
    // whatever their names.
    void wireLengthsAreKept_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");   // empty: a pcap with frames cut to 100 bytes on capture
        QTest::addColumn<QList<uint32_t>>("wire");
        const Frame jumbo = frames::ipv4(9000, 17), small = frames::ipv4(60, 6);
        QTest::newRow("pcap, snapshot length 100") << "w.nivora" << QByteArray() << QList<uint32_t>{60, 1514, 61};
        recorded::Pcapng cut;
        cut.section().interface().packet(0, small, 0, 1500).packet(0, jumbo).packet(0, small);
        QTest::newRow("pcapng, cut and jumbo") << "w.bin" << cut.b << QList<uint32_t>{1500, 9000, 60};
        QTest::newRow("dataset") << "w.pcap" << recorded::dataset(kSample) << QList<uint32_t>{60, 1514, 61};
    }
    void wireLengthsAreKept()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QList<uint32_t>, wire);
        if (file.isEmpty()) QVERIFY(recorded::writePcap(dir.filePath(name), kSample, DLT_EN10MB, 100));
        else QVERIFY(recorded::writeFile(dir.filePath(name), file));
        const std::vector<Frame> held = reload(name);
        QList<uint32_t> heldWire;
        for (int64_t n = 1; n <= getPacketCount(); ++n) heldWire << getWireLength(n);
        QCOMPARE(heldWire, wire);
        if (name == "w.pcap") QVERIFY(held == kSample);
        QVERIFY(saveHeldPackets(path("w.pcap")).ok);
        QStringList savedWire, expected;
        for (const QString& stamp : recorded::stampsIn(dir.filePath("w.pcap"))) savedWire << stamp.section(' ', 1);
        for (const uint32_t w : wire) expected << QString::number(w);
        QCOMPARE(savedWire, expected);
    }

    // A packet without a time (from a dataset, appended) is saved one
    // millisecond after the packet before it; before any time, from 0.
    void untimedPacketsAreSpacedAfterTheLastTime()
    {
        const Frame f = frames::ipv4(60, 17);
        const CaptureTime t = captureTimeOf(1700000000, 250, kNsPerSecond);
        for (const CaptureTime time : {kNoTime, t, kNoTime, kNoTime, t - 5 * kNsPerSecond, kNoTime})
            addPacket(f.data(), int(f.size()) - 1, time);
        QVERIFY(saveHeldPackets(path("mixed.pcap")).ok);
        QCOMPARE(recorded::pcapTimes(recorded::readFile(dir.filePath("mixed.pcap"))),
                 (QStringList{"ns", "0.000000000", "1700000000.000000250", "1700000000.001000250", "1700000000.002000250",
                              "1699999995.000000250", "1699999995.001000250"}));
    }

    // An existing file replaced keeps its permission bits, a symbolic link is
    // written through to its target, and a name near the length limit works.
    void overwriteKeepsModeAndLinks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("linkTo");   // empty: the name is a plain file or none
        QTest::addColumn<int>("mode");         // the old file's; 0: none there, 0666 less the umask after
        QTest::newRow("0640 file") << "group.nivora" << "" << 0640;
        QTest::newRow("symbolic link") << "link.nivora" << "target.nivora" << 0604;
        QTest::newRow("link to no file yet") << "dangling.nivora" << "made.nivora" << 0;
        QTest::newRow("new, 247-character name") << QString(240, 'n') + ".nivora" << "" << 0;
    }
    void overwriteKeepsModeAndLinks()
    {
        QFETCH(QString, name);
        QFETCH(QString, linkTo);
        QFETCH(int, mode);
        const QString at = dir.filePath(name), target = linkTo.isEmpty() ? at : dir.filePath(linkTo);
        if (mode) QVERIFY(recorded::writeFile(target, "old") && ::chmod(qPrintable(target), mode_t(mode)) == 0);
        if (!linkTo.isEmpty()) QVERIFY(QFile::link(linkTo, at));   // relative, as links often are
        recorded::store(frames::ipv4(60, 6));
        QVERIFY(saveHeldPackets(at.toStdString()).ok);
        QCOMPARE(recorded::readFile(target), recorded::dataset({frames::ipv4(60, 6)}));
        QCOMPARE(QFileInfo(at).isSymLink(), !linkTo.isEmpty());
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat info {};
        QVERIFY(::stat(QFile::encodeName(target), &info) == 0);
        QCOMPARE(int(info.st_mode & 07777), mode ? mode : 0666 & ~int(mask));
    }
};

QTEST_APPLESS_MAIN(TestRecordedFiles)
#include "test_recordedFiles.moc"
