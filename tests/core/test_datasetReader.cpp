// Reading nivora datasets into the store: the record rule, the header check,
// the 30000 limit, appending after a declined reset (also past 2^31 packets),
// oversized records, files that cannot be read or change while read.
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <limits>

#include "core/fileLoader.h"
#include "core/storeHost.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
struct AnsweringHost : StoreHost {
    bool answer = true;
    int questions = 0;
    int64_t shownCount = 0;
    bool confirmOverwrite() override { ++questions; return answer; }
    void showPacketRange(int64_t count, int64_t) override { shownCount = count; }
};

// Records what the reader tells the program, in order.
struct RecordingObserver : LoadObserver {
    QStringList events;
    std::function<void()> whenRead;   // what happens to the file once its header is checked
    void fileOpened(int64_t size) override { events << QString("opened %1").arg(size); }
    void fileRead() override
    {
        events << "read";
        if (whenRead) whenRead();
    }
    void storeReset() override { events << "reset"; }
    void progress(int64_t p) override { events << QString("progress %1").arg(p); }
    void yieldPoint() override { events << "yield"; }
    void capacityReached(int32_t c) override { events << QString("capacity %1").arg(c); }
};

Frame text(const char* s) { return recorded::frameOf(QByteArray(s)); }

// Small frames carrying their record numbers, first to last, for the long files.
std::vector<Frame> numbered(int first, int last)
{
    std::vector<Frame> all;
    for (int r = first; r <= last; ++r) {
        Frame& f = all.emplace_back(frames::ipv4(60, 17));
        f[40] = uint8_t(r), f[41] = uint8_t(r >> 8), f[42] = uint8_t(r >> 16);
    }
    return all;
}
int numberOf(int64_t n) { return getPacketByte(n, 40) | getPacketByte(n, 41) << 8 | getPacketByte(n, 42) << 16; }
}

class TestDatasetReader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    AnsweringHost host;
    RecordingObserver observer;

    LoadReport load(const QByteArray& bytes)
    {
        recorded::writeFile(dir.filePath("t.nivora"), bytes);
        return loadDatasetFile(dir.filePath("t.nivora").toStdString(), observer);
    }
private slots:
    void init()
    {
        host = AnsweringHost{};
        observer = RecordingObserver{};
        setStoreHost(&host);
        resetBuffer("startup");
    }
    void cleanup() { setStoreHost(nullptr); }

    void recordBoundaries_data()
    {
        const QByteArray T = recorded::kTrailer;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("packets");
        QTest::newRow("header only") << QByteArray("<NIVORA>") << QList<QByteArray>{};
        QTest::newRow("one-byte frame") << "<NIVORA>A" + T << QList<QByteArray>{"A"};
        // Only 16 bytes gathered at its '>': the trailer becomes frame bytes.
        QTest::newRow("trailer right after the header") << "<NIVORA>" + T + "xy" + T << QList<QByteArray>{T + "xy"};
        QTest::newRow("trailer right after a trailer")
            << "<NIVORA>ab" + T + T + "c" + T << QList<QByteArray>{"ab", T + "c"};
        QTest::newRow("bytes after the last trailer")
            << "<NIVORA>abc" + T + "no trailer here" << QList<QByteArray>{"abc"};
        QTest::newRow("frame holding the trailer text splits")
            << "<NIVORA>AAAA" + T + "BBBB" + T << QList<QByteArray>{"AAAA", "BBBB"};
        QTest::newRow("'>' and a partial trailer inside a frame")
            << "<NIVORA>>>NIVORA[CR][LF]x>" + T << QList<QByteArray>{">>NIVORA[CR][LF]x>"};
    }
    void recordBoundaries()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, packets);
        const LoadReport r = load(bytes);
        QVERIFY(r.ok());
        QCOMPARE(r.packetsStored, packets.size());
        QCOMPARE(getPacketCount(), packets.size());
        QCOMPARE(r.lastPacket - r.firstPacket + 1, packets.size());
        for (int k = 0; k < packets.size(); ++k) {
            QCOMPARE(recorded::bytesOf(recorded::stored(k + 1)), packets[k]);
            QCOMPARE(getPacketLength(k + 1), packets[k].size() - 1);
        }
        // Told in order: the file, the reset, then after each record the offset just past it and a pause.
        QStringList told = {QString("opened %1").arg(bytes.size()), "read", "reset"};
        qsizetype at = recorded::kHeader.size();
        for (const QByteArray& p : packets) told << QString("progress %1").arg(at += p.size() + 16) << "yield";
        QCOMPARE(observer.events, told);
    }

    // Told only when a record beyond the 30000th exists; every record is counted.
    void capacity_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("exactly 30000") << 30000 << QStringList{};
        QTest::newRow("30001") << 30001 << QStringList{"capacity 30000"};
        QTest::newRow("35000") << 35000 << QStringList{"capacity 30000"};
    }
    void capacity()
    {
        QFETCH(int, records);
        QFETCH(QStringList, told);
        const LoadReport report = load(recorded::dataset(numbered(1, records)));
        QCOMPARE(observer.events.filter("capacity"), told);
        QCOMPARE(report.capped, !told.isEmpty());
        QCOMPARE(report.recordsFound, records);
        QCOMPARE(report.packetsStored, 30000);
        QCOMPARE(getPacketCount(), 30000);
        QCOMPARE(report.lastPacket, 30000);
        QCOMPARE(numberOf(1), 1);
        QCOMPARE(numberOf(30000), 30000);
    }

    void declinedResetAppends()
    {
        for (const Frame& f : numbered(1, 500)) recorded::store(f);
        host.answer = false;
        const LoadReport report = load(recorded::dataset(numbered(501, 510)));
        QCOMPARE(host.questions, 1);
        QVERIFY(observer.events.contains("reset"));   // the views are cleared whatever the answer
        QCOMPARE(report.firstPacket, 501);
        QCOMPARE(report.lastPacket, 510);
        QCOMPARE(numberOf(1), 1);
        QCOMPARE(numberOf(505), 505);

        host.answer = true;
        const LoadReport again = load(recorded::dataset(numbered(7, 7)));
        QCOMPARE(getPacketCount(), 1);
        QCOMPARE(again.firstPacket, 1);
        QCOMPARE(numberOf(1), 7);
    }

    // 2^31 frames are six hours of capture at 100000 a second: the count goes on.
    void packetNumbersPastTwoToThe31()
    {
        constexpr int64_t before = std::numeric_limits<int32_t>::max() - 2;
        store_detail::packetCount = before;
        store_detail::writeSlot = packetSlot(before);
        host.answer = false;
        const LoadReport report = load(recorded::dataset(numbered(1, 5)));
        QCOMPARE(report.firstPacket, before + 1);
        QCOMPARE(report.lastPacket, before + 5);
        QCOMPARE(host.shownCount, before + 5);
        QCOMPARE(firstHeldPacket(), before + 5 - 29999);
        for (int k = 1; k <= 5; ++k) QCOMPARE(numberOf(before + k), k);
    }

    void oversizedRecordIsSkipped()
    {
        const Frame largest(1585, 'L');      // 1601 with its trailer: fits
        const Frame oneTooMany(1586, 'M');   // 1602: skipped
        // The longest is read through in pieces, never held whole.
        const LoadReport r = load(recorded::dataset({text("a"), Frame(500000, 'H'), text("b"), oneTooMany, largest}));
        QVERIFY(r.ok());
        QCOMPARE(r.recordsFound, 5);
        QCOMPARE(r.packetsStored, 3);
        QCOMPARE(r.oversizedSkipped, 2);
        QCOMPARE(r.firstOversizedOffset, 8 + 1 + 16);
        QCOMPARE(recorded::stored(1), text("a"));
        QCOMPARE(recorded::stored(2), text("b"));
        QCOMPARE(recorded::stored(3), largest);
        const auto notes = loadNotes(r, "x.nivora");
        QCOMPARE(notes.size(), size_t(1));
        QVERIFY(QString::fromStdString(notes[0]).contains("2 record(s)"));
        QVERIFY(QString::fromStdString(notes[0]).contains("offset 25"));
    }

    // A file that is no dataset, or cannot be read, is named and leaves the
    // store untouched: no question, the held packet still there, no views cleared.
    void refusedFilesLeaveTheStoreAlone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");   // null: not written
        QTest::addColumn<LoadError>("error");
        QTest::addColumn<QString>("reason");
        const QString notDataset = "is not a nivora format file";
        QTest::newRow("lower-case header") << "t.nivora" << recorded::dataset({text("abc")}).replace("<NIVORA>", "<nivora>")
                                           << LoadError::NotDataset << notDataset;
        QTest::newRow("shorter than 8 bytes") << "t.nivora" << QByteArray("<NIVORA") << LoadError::NotDataset << notDataset;
        QTest::newRow("empty") << "t.nivora" << QByteArray("") << LoadError::NotDataset << notDataset;
        // Refused from its first 8 bytes, without reading (or holding) the rest.
        QTest::newRow("a terabyte, no dataset") << "huge.nivora" << QByteArray("<nivora>") << LoadError::NotDataset << notDataset;
        QTest::newRow("missing") << "missing.nivora" << QByteArray() << LoadError::CannotOpen << "No such file or directory";
        QTest::newRow("a folder") << "folder.nivora" << QByteArray() << LoadError::CannotOpen << "not a regular file";
    }
    void refusedFilesLeaveTheStoreAlone()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(LoadError, error);
        QFETCH(QString, reason);
        QDir(dir.path()).mkdir("folder.nivora");
        if (!bytes.isNull()) QVERIFY(recorded::writeFile(dir.filePath(name), bytes));
        if (name == "huge.nivora") QVERIFY(QFile::resize(dir.filePath(name), qint64(1) << 40));   // sparse
        recorded::store(text("held"));
        const LoadReport r = loadDatasetFile(dir.filePath(name).toStdString(), observer);
        QCOMPARE(r.error, error);
        const QString message = QString::fromStdString(r.message);
        QVERIFY2(message.contains(dir.filePath(name)) && message.contains(reason), qPrintable(message));
        QCOMPARE(host.questions, 0);
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(!observer.events.contains("reset"));
    }

    // The file is deleted or cut short once its header is checked: the open
    // file is read to its end, or the records before the cut are loaded.
    void fileChangesWhileLoading_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<int>("packets");
        QTest::newRow("deleted") << true << 3;
        QTest::newRow("cut short after two records") << false << 2;
    }
    void fileChangesWhileLoading()
    {
        QFETCH(bool, deleted);
        QFETCH(int, packets);
        const QString path = dir.filePath("t.nivora");
        observer.whenRead = [&] {
            QVERIFY(deleted ? QFile::remove(path) : QFile::resize(path, 8 + 2 * (60 + 16) + 30));
        };
        const LoadReport r = load(recorded::dataset(numbered(1, 3)));
        QVERIFY(r.ok() && !r.incomplete());
        QCOMPARE(r.packetsStored, packets);
        QCOMPARE(numberOf(packets), packets);
    }
};

QTEST_APPLESS_MAIN(TestDatasetReader)
#include "test_datasetReader.moc"
