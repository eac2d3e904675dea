// Reading nivora datasets into the store: the record rule, the header check,
// the 30000 limit, appending after a declined reset, oversized records, and
// files that cannot be read.
#include <QTemporaryDir>
#include <QTest>

#include "core/accessors.h"
#include "core/fileLoader.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
struct AnsweringHost : StoreHost {
    bool answer = true;
    int questions = 0;
    bool confirmOverwrite() override { ++questions; return answer; }
};

// Records what the reader tells the program, in order.
struct RecordingObserver : LoadObserver {
    QStringList events;
    int64_t size = -1;
    int64_t lastPosition = -1;
    int capacityMessages = 0;
    void fileOpened(int64_t s) override { size = s; events << "opened"; }
    void fileRead() override { events << "read"; }
    void storeReset() override { events << "reset"; }
    void progress(int64_t p) override { lastPosition = p; events << "progress"; }
    void yieldPoint() override { events << "yield"; }
    void capacityReached(int32_t c) override { ++capacityMessages; events << QString("capacity %1").arg(c); }
};

Frame text(const char* s) { return recorded::frameOf(QByteArray(s)); }

Frame packetBytes(int64_t n)
{
    const int size = getPacketLength(n) + 1;
    return Frame(packetBytesOf(n), packetBytesOf(n) + size);
}

// Small frames carrying their record number, for the long files.
Frame numbered(int r)
{
    Frame f = frames::ipv4(60, 17);
    f[40] = uint8_t(r);
    f[41] = uint8_t(r >> 8);
    f[42] = uint8_t(r >> 16);
    return f;
}
int numberOf(int64_t n) { return getPacketByte(n, 40) | getPacketByte(n, 41) << 8 | getPacketByte(n, 42) << 16; }
}

class TestDatasetReader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    AnsweringHost host;
    RecordingObserver observer;

    std::string file(const QByteArray& bytes, const QString& name = "t.nivora")
    {
        const QString path = dir.filePath(name);
        recorded::writeFile(path, bytes);
        return path.toStdString();
    }

    LoadReport load(const QByteArray& bytes) { return loadDatasetFile(file(bytes), observer); }

private slots:
    void init()
    {
        host = AnsweringHost{};
        observer = RecordingObserver{};
        setStoreHost(&host);
        resetBuffer("startup");
    }
    void cleanup() { setStoreHost(nullptr); }

    void headerOnlyLoadsNothing()
    {
        const LoadReport r = load("<NIVORA>");
        QVERIFY(r.ok());
        QCOMPARE(r.packetsStored, 0);
        QCOMPARE(r.recordsFound, 0);
        QVERIFY(r.firstPacket > r.lastPacket);
        QCOMPARE(observer.capacityMessages, 0);
        QCOMPARE(observer.events, QStringList({"opened", "read", "reset"}));
    }

    void headerMustMatchExactly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lower case") << recorded::dataset({text("abc")}).replace("<NIVORA>", "<nivora>");
        QTest::newRow("shorter than 8 bytes") << QByteArray("<NIVORA");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a pcap file") << QByteArray("\xD4\xC3\xB2\xA1\x02\x00\x04\x00", 8);
    }
    void headerMustMatchExactly()
    {
        QFETCH(QByteArray, bytes);
        addPacket(text("held").data(), 3);
        const LoadReport r = load(bytes);
        QCOMPARE(r.error, LoadError::NotDataset);
        QVERIFY(r.message.find("t.nivora") != std::string::npos);
        // The store is untouched: no question, the held packet still there.
        QCOMPARE(host.questions, 0);
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(!observer.events.contains("reset"));
    }

    void recordBoundaries_data()
    {
        const QByteArray T = recorded::kTrailer;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("packets");
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
        for (int k = 0; k < packets.size(); ++k) {
            QCOMPARE(recorded::bytesOf(packetBytes(k + 1)), packets[k]);
            QCOMPARE(getPacketLength(k + 1), packets[k].size() - 1);
        }
    }

    void progressFollowsEachRecord()
    {
        const QByteArray bytes = recorded::dataset({text("first"), text("second")}) + "tail";
        const LoadReport r = load(bytes);
        QCOMPARE(r.fileSize, bytes.size());
        QCOMPARE(observer.size, bytes.size());
        QCOMPARE(observer.events,
                 QStringList({"opened", "read", "reset", "progress", "yield", "progress", "yield"}));
        QCOMPARE(observer.lastPosition, bytes.size() - 4);   // just past the second trailer
        QCOMPARE(r.firstPacket, 1);
        QCOMPARE(r.lastPacket, 2);
    }

    void capacity_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("exactly 30000") << 30000;
        QTest::newRow("35000") << 35000;
    }
    void capacity()
    {
        QFETCH(int, records);
        std::vector<Frame> all;
        for (int r = 1; r <= records; ++r) all.push_back(numbered(r));
        const LoadReport report = load(recorded::dataset(all));
        QCOMPARE(observer.capacityMessages, 1);
        QCOMPARE(observer.events.last(), QString("capacity 30000"));   // no record after it
        QVERIFY(report.capped);
        QCOMPARE(report.packetsStored, 30000);
        QCOMPARE(getPacketCount(), 30000);
        QCOMPARE(report.lastPacket, 30000);
        QCOMPARE(numberOf(1), 1);
        QCOMPARE(numberOf(30000), 30000);
    }

    void declinedResetAppends()
    {
        for (int r = 1; r <= 500; ++r) addPacket(numbered(r).data(), 59);
        host.answer = false;
        std::vector<Frame> more;
        for (int r = 501; r <= 510; ++r) more.push_back(numbered(r));
        const LoadReport report = load(recorded::dataset(more));
        QCOMPARE(host.questions, 1);
        QVERIFY(observer.events.contains("reset"));   // the views are cleared whatever the answer
        QCOMPARE(getPacketCount(), 510);
        QCOMPARE(report.firstPacket, 501);
        QCOMPARE(report.lastPacket, 510);
        QCOMPARE(numberOf(1), 1);
        QCOMPARE(numberOf(505), 505);

        host.answer = true;
        const LoadReport again = load(recorded::dataset({numbered(7)}));
        QCOMPARE(getPacketCount(), 1);
        QCOMPARE(again.firstPacket, 1);
        QCOMPARE(numberOf(1), 7);
    }

    void oversizedRecordIsSkipped()
    {
        const Frame largest(1585, 'L');      // 1601 with its trailer: fits
        const Frame oneTooMany(1586, 'M');   // 1602: skipped
        const Frame huge(5000, 'H');
        const LoadReport r = load(recorded::dataset({text("a"), huge, text("b"), oneTooMany, largest}));
        QVERIFY(r.ok());
        QCOMPARE(r.recordsFound, 5);
        QCOMPARE(r.packetsStored, 3);
        QCOMPARE(r.oversizedSkipped, 2);
        QCOMPARE(r.firstOversizedOffset, 8 + 1 + 16);
        QCOMPARE(recorded::bytesOf(packetBytes(1)), QByteArray("a"));
        QCOMPARE(recorded::bytesOf(packetBytes(2)), QByteArray("b"));
        QCOMPARE(packetBytes(3), largest);
        const auto notes = loadNotes(r, "x.nivora");
        QCOMPARE(notes.size(), size_t(1));
        QVERIFY(QString::fromStdString(notes[0]).contains("2 record(s)"));
        QVERIFY(QString::fromStdString(notes[0]).contains("offset 25"));
    }

    void unreadableFilesLeaveTheStoreAlone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.nivora" << "No such file or directory";
        QTest::newRow("a folder") << "folder.nivora" << "not a regular file";
    }
    void unreadableFilesLeaveTheStoreAlone()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QDir(dir.path()).mkdir("folder.nivora");
        addPacket(text("held").data(), 3);
        const std::string path = dir.filePath(name).toStdString();
        const LoadReport r = loadDatasetFile(path, observer);
        QCOMPARE(r.error, LoadError::CannotOpen);
        const QString message = QString::fromStdString(r.message);
        QVERIFY2(message.contains(QString::fromStdString(path)) && message.contains(reason), qPrintable(message));
        QCOMPARE(getPacketCount(), 1);
        QCOMPARE(host.questions, 0);
        QVERIFY(!observer.events.contains("reset"));
    }
};

QTEST_APPLESS_MAIN(TestDatasetReader)
#include "test_datasetReader.moc"
