// The index of a whole file and the windows read through it: the same frames
// as a pass from the start, for every format and wherever the window lies;
// the stride that doubles to keep the index small; times as libpcap reads
// them; the overview by time; and the files that break the rules: cut
// mid-frame, pcapng sections of other link types, files that grow or are
// replaced, windows outside the file.
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include "core/accessors.h"
#include "core/frameWindow.h"
#include "core/heldFile.h"
#include "core/linkOrigins.h"
#include "core/storeHost.h"
#include "support/frames.h"
#include "support/recordedFiles.h"
#include "support/watchdog.h"

using recorded::Frame;
using recorded::Pcapng;

namespace {
using recorded::numbered;
using recorded::numberedFrame;
using recorded::numberIn;
using recorded::numbersFrom;


// A pcap in the other byte order with nanosecond times, as some capture tools write it.
QByteArray bigEndianPcap(const std::vector<Frame>& all)
{
    Pcapng w;
    w.big = true;
    w.u32(0xA1B23C4D); w.u16(2); w.u16(4); w.u32(0); w.u32(0); w.u32(65535); w.u32(1);
    for (const Frame& f : all) {
        w.u32(1700000000); w.u32(999999999); w.u32(uint32_t(f.size())); w.u32(uint32_t(f.size()));
        w.b += recorded::bytesOf(f);
    }
    return w.b;
}

// The frame numbers a window hands over, read from the frames themselves.
QList<int> readWindow(const std::string& path, FrameWindow window, const FrameIndex* index, LoadReport& report)
{
    WindowSource source(window, index);
    LoadObserver quiet;
    QList<int> got;
    if (source.open(path, report, quiet))
        source.forEachFrame(report, [&](const SourceFrame& f) { return got << numberIn(f.data), true; });
    return got;
}
}

class TestFrameIndex : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoadObserver quiet;

    std::string path(const QString& name) { return dir.filePath(name).toStdString(); }
    std::string write(const QString& name, const QByteArray& bytes)
    {
        recorded::writeFile(dir.filePath(name), bytes);
        return path(name);
    }

private slots:
    void init() { resetBuffer("startup"); }
    void cleanup() { setStoreHost(nullptr); }

    // 1000 frames in each format; windows at the start, across points, at the
    // end; with the default stride and one doubled twice (4 points at most).
    void windowsHoldTheirFrames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxPoints");
        const std::vector<Frame> all = numbered(1, 1000);
        Pcapng swappedNg;
        swappedNg.section(true).interface(1, {9});
        for (const Frame& f : all) swappedNg.packet(0, f, 1700000000123456789ull);
        const QByteArray dataset = recorded::dataset(all);
        for (const int maxPoints : {int(FrameIndex::kMaxPoints), 4}) {
            const QByteArray points = "/" + QByteArray::number(maxPoints);
            QTest::newRow("dataset" + points) << dataset << maxPoints;
            QTest::newRow("pcapng" + points) << recorded::pcapng(all) << maxPoints;
            QTest::newRow("pcapng, big-endian, ns" + points) << swappedNg.b << maxPoints;
            QTest::newRow("pcap, big-endian, ns" + points) << bigEndianPcap(all) << maxPoints;
        }
        QTest::newRow("pcap") << QByteArray() << 4;   // written by libpcap
    }
    void windowsHoldTheirFrames()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxPoints);
        std::string file = path("w.pcap");
        if (bytes.isEmpty()) QVERIFY(recorded::writePcap(dir.filePath("w.pcap"), numbered(1, 1000)));
        else file = write("w.any", bytes);
        const FrameIndex index = indexFile(file, quiet, size_t(maxPoints));
        QVERIFY2(index.ok() && index.report.damage.empty(), index.report.damage.c_str());
        QCOMPARE(index.frames, 1000);
        QCOMPARE(index.stride, maxPoints == 4 ? 256 : 64);
        QCOMPARE(int64_t(index.points.size()), (1000 + index.stride - 1) / index.stride);
        for (const FrameWindow w : {FrameWindow{1, 1}, FrameWindow{64, 66}, FrameWindow{257, 513}, FrameWindow{900, 1000}}) {
            LoadReport report;
            QCOMPARE(readWindow(file, w, &index, report), numbersFrom(int(w.first), int(w.last)));
            QCOMPARE(readWindow(file, w, nullptr, report), numbersFrom(int(w.first), int(w.last)));   // from the start
        }
    }

    // The index's own reader gives every frame the time libpcap gives it:
    // each unit, offset, and the edges of 32-bit, unsigned and 64-bit times.
    void timesAsLibpcapReadsThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const std::vector<Frame> two = numbered(1, 2);   // (big-endian files: TestStreamedTimes)
        QTest::newRow("pcap us, past 2038 and 2106") << recorded::pcapFile(two, {{2147483648u, 999999}, {4294967295u, 1}}, false);
        QTest::newRow("pcap ns, zero and backwards") << recorded::pcapFile(two, {{0, 0}, {0, 999999999}}, true);
        const std::vector<uint64_t> ticks = {1700000000ull << 30 | 12345, ~0ull};
        QTest::newRow("pcapng 2^-30") << recorded::pcapng(two, 1, {0x80 | 30, 0}, ticks);
        // Small binary exponents, as some capture hardware writes them: not powers of ten.
        QTest::newRow("pcapng 2^-10") << recorded::pcapng(two, 1, {0x80 | 10, 0}, {1700000000ull << 10 | 1023, 1});
        QTest::newRow("pcapng 2^-1") << recorded::pcapng(two, 1, {0x80 | 1, 0}, {3400000001, 1});
        QTest::newRow("pcapng 2^-0") << recorded::pcapng(two, 1, {0x80, 0}, {1700000000, 1});
        QTest::newRow("pcapng 10^-9, offset") << recorded::pcapng(two, 1, {9, 1000}, {1700000000123456789ull, 5});
        QTest::newRow("pcapng us, offset before 1970") << recorded::pcapng(two, 1, {0, -2000000000}, {1000001, 0});
        QTest::newRow("pcapng seconds, past 2262") << recorded::pcapng(two, 1, {0x80, 0}, {uint64_t(1) << 40, 1});
    }
    void timesAsLibpcapReadsThem()
    {
        QFETCH(QByteArray, bytes);
        const std::string file = write("t.any", bytes);
        auto timesFrom = [&](FrameSource& source) {
            QStringList times;
            LoadReport report;
            if (source.open(file, report, quiet))
                source.forEachFrame(report, [&](const SourceFrame& f) {
                    times << (f.stamp ? QString::number(f.stamp->time) : "no stamp");
                    return true;
                });
            return times;
        };
        WindowSource window({1, 2}, nullptr);
        const QStringList streamed = timesFrom(window), byLibpcap = timesFrom(*makeCaptureSource());
        QCOMPARE(byLibpcap.size(), 2);
        QCOMPARE(streamed, byLibpcap);
    }

    // By capture time: a burst of 100 frames a microsecond apart takes one
    // bin, the 100 frames a second apart after it the rest; a frame earlier
    // than the first counts at the start. A dataset has no time axis. (Every
    // frame counted by its kind, by number and by time: TestStreamedTimes.)
    void overviewByTime()
    {
        std::vector<recorded::FileTime> times;
        for (uint64_t k = 0; k < 100; ++k) times.push_back({1000, k});
        for (uint64_t k = 1; k <= 100; ++k) times.push_back({1000 + k, 0});
        times.push_back({999, 0});
        const FrameIndex index = indexFile(write("b.pcap", recorded::pcapFile(numbered(1, 201), times, false)), quiet);
        QVERIFY(index.timesKnown());
        QCOMPARE(index.firstTime, 1000 * kNsPerSecond);
        uint32_t counted = 0;
        for (const OverviewBin& b : index.byTime.bins()) counted += b.total();
        QCOMPARE(counted, 201u);
        QCOMPARE(index.byTime.bins().front().total(), 101u);   // the burst and the earlier frame
        const TimeAxis axis(index.byTime);
        QVERIFY2(axis.fractionOf(99) < 0.02, qPrintable(QString::number(axis.fractionOf(99))));
        QVERIFY(qAbs(axis.fractionOf(150) - 0.5) < 0.05);
        QVERIFY(qAbs(axis.frameAt(axis.fractionOf(150)) - 150) < 1);
        QCOMPARE(std::pair(axis.frameAt(0), axis.frameAt(1)), std::pair(0.0, 201.0));
        QVERIFY(!indexFile(write("b.nivora", recorded::dataset(numbered(1, 10))), quiet).timesKnown());
    }

    // Frames of interfaces that cannot be shown as Ethernet, in sections of
    // either byte order, get no number and are counted; a Linux cooked one
    // is shown as Ethernet. The windows after them are still right, and a
    // window loaded through the index (libpcap stops at a change of link
    // type) says what it left out and what each packet was.
    void pcapngOfManyInterfaces()
    {
        Pcapng ng;
        ng.section(false).interface(1).interface(127);   // Ethernet, 802.11 radiotap
        for (int n = 1; n <= 300; ++n) ng.packet(0, numberedFrame(n)).packet(1, Frame(40, 1));
        ng.section(true).interface(189).interface(link_type::kLinuxCooked2);   // USB first
        Frame cooked(20, 0);   // cooked v2 naming IPv4, no address
        cooked[0] = 0x08;
        for (int n = 301; n <= 600; ++n) {
            const Frame f = numberedFrame(n);
            Frame packet = cooked;
            packet.insert(packet.end(), f.begin() + kEthernetHeaderBytes, f.end());
            ng.packet(1, packet).packet(0, Frame(30, 2));
        }
        const std::string file = write("m.pcapng", ng.b);
        FrameIndex index = indexFile(file, quiet, 4);
        QCOMPARE(index.frames, 600);
        QCOMPARE(index.report.otherLinkFrames, 600);
        QVERIFY(index.report.mixedLinkTypes);
        QCOMPARE(int(index.layout.sections.size()), 2);
        LoadReport report;
        QCOMPARE(readWindow(file, {290, 600}, &index, report), numbersFrom(290, 600));
        QCOMPARE(readWindow(file, {513, 513}, &index, report), QList<int>{513});   // a point in the second section
        const LoadReport load = loadIndexedWindow(index, {300, 400}, quiet);
        QCOMPARE(std::pair(load.packetsStored, recorded::numberOf(2)), std::pair(int64_t(101), 301));
        QCOMPARE(std::pair(linkTypeOfPacket(1), linkTypeOfPacket(2)), std::pair(int(link_type::kEthernet), int(link_type::kLinuxCooked2)));
        QVERIFY(QString::fromStdString(loadNotes(load, file).at(0)).contains("interfaces whose frames cannot be shown as Ethernet"));
    }

    // Cut in the middle of a frame (or its header, or a block): the frames
    // before are indexed, and what happened is said.
    void cutShort_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("cut");   // bytes taken off the end
        QTest::newRow("pcap, mid-frame") << "c.pcap" << 10;
        QTest::newRow("pcap, mid-header") << "c.pcap" << 63 + 12;   // 4 of the last header's 16 bytes left
        QTest::newRow("pcapng, mid-block") << "c.pcapng" << 10;
    }
    void cutShort()
    {
        QFETCH(QString, name);
        QFETCH(int, cut);
        const std::vector<Frame> all = numbered(1, 10);   // frame 10 is 63 bytes
        QByteArray bytes;
        if (name.endsWith("ng")) {
            bytes = recorded::pcapng(all);
        } else {
            QVERIFY(recorded::writePcap(dir.filePath(name), all));
            bytes = recorded::readFile(dir.filePath(name));
        }
        const std::string file = write(name, bytes.left(bytes.size() - cut));
        const FrameIndex index = indexFile(file, quiet);
        QVERIFY(index.ok());
        QCOMPARE(index.frames, 9);
        QVERIFY2(QString::fromStdString(index.report.damage).startsWith("the file ends in the middle of"),
                 index.report.damage.c_str());
    }

    // A file written to while it is indexed is indexed as it was when the pass began.
    void growingFileIsIndexedAsItWas()
    {
        const QString name = dir.filePath("g.pcap");
        QVERIFY(recorded::writePcap(name, numbered(1, 100)));
        const QByteArray more = recorded::readFile(name).mid(24);
        recorded::RecordingObserver growing;
        growing.whenRead = [&] {
            QFile f(name);
            QVERIFY(f.open(QIODevice::Append) && f.write(more) == more.size());
        };
        const FrameIndex index = indexFile(path("g.pcap"), growing);
        QCOMPARE(index.frames, 100);
        QVERIFY(index.report.damage.empty());
        QVERIFY(!indexIsCurrent(index));   // it has grown since
    }

    // Replaced under its index: never read at the old offsets. The window
    // source refuses it; loading indexes it again and reads the new file, or
    // refuses a window the new file cannot hold and keeps what the store held.
    void replacedFileIsIndexedAgain()
    {
        const std::string file = write("r.nivora", recorded::dataset(numbered(1, 500)));
        FrameIndex index = indexFile(file, quiet);
        QVERIFY(indexIsCurrent(index));
        write("new.nivora", recorded::dataset(numbered(1001, 1200)));
        QVERIFY(QFile::rename(dir.filePath("r.nivora"), dir.filePath("old.nivora")));
        QVERIFY(QFile::rename(dir.filePath("new.nivora"), dir.filePath("r.nivora")));
        QVERIFY(!indexIsCurrent(index));
        LoadReport refused;
        QVERIFY(readWindow(file, {1, 10}, &index, refused).isEmpty());
        QCOMPARE(refused.error, LoadError::FileChanged);

        recorded::store(numberedFrame(7));
        const LoadReport past = loadIndexedWindow(index, {301, 400}, quiet);
        QVERIFY(past.reindexed && past.error == LoadError::NoSuchWindow);
        QCOMPARE(QString::fromStdString(past.message), "the window 301-400 reaches past the end: \"" + dir.filePath("r.nivora") + "\" holds 200 frame(s)");
        QCOMPARE(std::pair(getPacketCount(), getUDPSourcePort(1)), std::pair(int64_t(1), int32_t(7)));

        QVERIFY(QFile::remove(dir.filePath("r.nivora")));
        QVERIFY(QFile::rename(dir.filePath("old.nivora"), dir.filePath("r.nivora")));
        const LoadReport back = loadIndexedWindow(index, {301, 400}, quiet);
        QVERIFY(back.ok() && back.reindexed);
        QCOMPARE(std::pair(index.frames, getUDPSourcePort(back.firstPacket)), std::pair(int64_t(500), int32_t(301)));
    }

    // A named pipe in place of an indexed file is refused at once, never
    // opened, when the index is made again.
    void pipesAreRefusedAtOnce()
    {
        const Watchdog watchdog("indexing a named pipe", std::chrono::seconds(20));
        const std::string file = write("q.nivora", recorded::dataset(numbered(1, 50)));
        FrameIndex index = indexFile(file, quiet);
        QVERIFY(QFile::remove(dir.filePath("q.nivora")));
        QCOMPARE(::mkfifo(file.c_str(), 0600), 0);
        recorded::store(numberedFrame(7));
        const LoadReport refused = loadIndexedWindow(index, {1, 10}, quiet);
        QVERIFY(!refused.ok());
        QVERIFY2(QString::fromStdString(refused.message).contains("q.nivora\": not a regular file but a named pipe"), refused.message.c_str());
        QCOMPARE(std::pair(getPacketCount(), getUDPSourcePort(1)), std::pair(int64_t(1), int32_t(7)));
    }

    void windowProblems()
    {
        const std::tuple<FrameWindow, int64_t, QString> cases[] = {
            {{600001, 630000}, 1000000, ""},
            {{970001, 1000000}, 1000000, ""},
            {{0, 4}, 10, "the window 0-4 holds no frames: give the first and the last frame number, 1 or more"},
            {{1, 1}, 0, "\"F\" holds no frames"}};
        for (const auto& [window, frames, problem] : cases)
            QCOMPARE(QString::fromStdString(windowProblem(window, frames, kSlotCount, "F")), problem);
    }

    // The held file's neighbouring windows, a full store's width each, the
    // last one moved back to end at the file's end.
    void neighbouringWindows()
    {
        HeldFile file;
        FrameIndex index;
        index.frames = 100000;
        file.hold(index);
        QVERIFY(!file.neighbour(1));   // no window loaded yet
        const auto text = [](std::optional<FrameWindow> w) { return w ? QString("%1-%2").arg(w->first).arg(w->last) : QString(); };
        const std::tuple<int, QString, QString> cases[] = {   // the first frame loaded, the previous and next windows
            {1, "", "30001-60000"}, {60001, "30001-60000", "70001-100000"}, {70001, "40001-70000", ""}, {5, "1-30000", "30005-60004"}};
        for (const auto& [first, previous, next] : cases) {
            file.noteLoaded(windowAt(first, 100000, kSlotCount), 1);
            QCOMPARE(text(file.neighbour(-1)) + " " + text(file.neighbour(1)), previous + " " + next);
        }
    }

    // The player names the window only while the store holds exactly it.
    void captionWhileTheStoreHoldsTheWindow()
    {
        HeldFile file;
        FrameIndex index;
        index.frames = 1000000;
        file.hold(index);
        const auto fill = [] { for (int n = 0; n < kSlotCount; ++n) recorded::store(numberedFrame(n)); };
        fill();
        file.noteLoaded({600001, 630000}, 1);
        QCOMPARE(file.caption(), "600001 - 630000 of 1,000,000");
        recorded::store(numberedFrame(1));   // a frame more: the store holds something else
        QCOMPARE(file.caption(), "");
        initBuffer();
        fill();                              // as many packets, but another filling
        QCOMPARE(file.caption(), "");
        file.noteLoaded({600001, 630000}, 30001);   // behind packets kept
        QCOMPARE(file.caption(), "");
        file.forget();
        QVERIFY(!file.windowInStore());
    }
};

QTEST_APPLESS_MAIN(TestFrameIndex)
#include "test_frameIndex.moc"
