// Finding across a whole file and windows by time: the matches per strip bin,
// the first and last match agree with tcpdump on a crafted file larger than
// the reader's buffer (with a stride that doubled, bursts of equal times and
// times that go backwards); Next/Previous match at the file's ends, with no
// match, after the file was cut or replaced; a pass stopped; the first frame
// at or after a time before the first, after the last, in a burst, where
// times go backwards; a dataset refused.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <pcap/pcap.h>

#include "core/fileFind.h"
#include "core/timeWindow.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
constexpr int kFrames = 20000;            // about 1.5 MB: past the reader's 1 MiB buffer
constexpr int64_t kBase = 1700000000;     // the first frame's second
constexpr int kTurn = 15001;              // from here the times go back 500 s

int numberIn(const uint8_t* f) { return (f[34] << 8 | f[35]) | (f[36] << 8 | f[37]) << 16; }

// Frame n: TCP every 97th, ICMP every 1000th from 1, else UDP; n in its ports.
Frame craftedFrame(int n)
{
    const uint8_t protocol = n % 97 == 0 ? 6 : n % 1000 == 1 ? 1 : 17;
    return frames::ipv4(60 + n % 7, protocol, uint16_t(n), uint16_t(n >> 16));
}
// Ten frames a tenth of a second apart share each time; from kTurn on, 500 s earlier.
CaptureTime craftedTime(int n)
{
    const int64_t tenths = (n - 1) / 10;
    return (kBase + tenths / 10 - (n >= kTurn ? 500 : 0)) * kNsPerSecond + tenths % 10 * 100'000'000;
}

struct Match {
    int frame;
    CaptureTime time;
};

// The frames tcpdump selects with `expression`, read from its output.
QList<Match> tcpdumpMatches(const QString& tcpdump, const QString& in, const QString& out, const QString& expression)
{
    QProcess p;
    p.start(tcpdump, {"-r", in, "-w", out, expression});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {{-1, 0}};
    char error[PCAP_ERRBUF_SIZE];
    pcap_t* file = pcap_open_offline_with_tstamp_precision(QFile::encodeName(out).constData(), PCAP_TSTAMP_PRECISION_NANO, error);
    QList<Match> matches;
    pcap_pkthdr* h;
    const u_char* bytes;
    while (file && pcap_next_ex(file, &h, &bytes) == 1)
        matches << Match{numberIn(bytes), h->ts.tv_sec * kNsPerSecond + h->ts.tv_usec};
    if (file) pcap_close(file);
    return matches;
}

// Stops the pass at its first report.
struct Stopper final : FindObserver {
    int reports = 0;
    void progress(int64_t, int64_t) override { ++reports; }
    bool stopRequested() override { return true; }
};
}

class TestFileFind : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString tcpdump;
    LoadObserver quiet;
    FindObserver going;
    std::string crafted;

    std::string write(const QString& name, const QByteArray& bytes)
    {
        recorded::writeFile(dir.filePath(name), bytes);
        return dir.filePath(name).toStdString();
    }
    static FilterExpression compiled(const char* text)
    {
        std::string error;
        return *FilterExpression::compile(text, error);
    }

private slots:
    void initTestCase()
    {
        tcpdump = QStandardPaths::findExecutable("tcpdump", {"/usr/sbin", "/usr/bin"});
        std::vector<Frame> all;
        std::vector<recorded::FileTime> times;
        for (int n = 1; n <= kFrames; ++n) {
            all.push_back(craftedFrame(n));
            times.push_back({uint64_t(craftedTime(n) / kNsPerSecond), uint64_t(craftedTime(n) % kNsPerSecond)});
        }
        crafted = write("crafted.pcap", recorded::pcapFile(all, times, true));
    }

    // The bins the strip draws, by frame and by time, and the first and last
    // match: those of tcpdump's selection, with the index's stride doubled.
    void matchesAgreeWithTcpdump_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("maxPoints");
        for (const char* e : {"tcp", "icmp", "udp", "src port 12345", "host 203.0.113.9", "len > 64"})
            for (const int points : {int(FrameIndex::kMaxPoints), 8})
                QTest::newRow(qPrintable(QString("%1/%2").arg(e).arg(points))) << QString(e) << points;
    }
    void matchesAgreeWithTcpdump()
    {
        QFETCH(QString, expression);
        QFETCH(int, maxPoints);
        if (tcpdump.isEmpty()) QSKIP("tcpdump is not installed: there is nothing to agree with");
        const FrameIndex index = indexFile(crafted, quiet, size_t(maxPoints));
        QVERIFY(index.ok() && index.timesKnown());
        QCOMPARE(index.frames, kFrames);
        const FileMatches found = findInIndexedFile(index, compiled(qPrintable(expression)), going);
        QVERIFY(found.complete());

        const QList<Match> theirs = tcpdumpMatches(tcpdump, QString::fromStdString(crafted), dir.filePath("out.pcap"), expression);
        std::vector<int64_t> byFrame(index.overview.bins().size()), byTime(index.byTime.bins().size());
        for (const Match& m : theirs) {
            QVERIFY(m.frame > 0);
            ++byFrame[size_t((m.frame - 1) / index.overview.binWidth())];
            const int64_t after = std::max<int64_t>(0, m.time - index.byTimeOrigin);
            ++byTime[size_t(std::min<int64_t>(after / index.byTime.binWidth(), int64_t(byTime.size()) - 1))];
        }
        QCOMPARE(found.count, theirs.size());
        QCOMPARE(found.byFrame.counts, byFrame);
        QCOMPARE(found.byTime.counts, byTime);
        QCOMPARE(found.firstFrame, theirs.isEmpty() ? 0 : theirs.first().frame);
        QCOMPARE(found.lastFrame, theirs.isEmpty() ? 0 : theirs.last().frame);
        QCOMPARE(found.firstTime, theirs.isEmpty() ? kNoTime : theirs.first().time);
        QCOMPARE(found.lastTime, theirs.isEmpty() ? kNoTime : theirs.last().time);
    }

    // Next and previous match from anywhere, the file's ends included, read
    // through the bins that hold one; none in a file with no match.
    void nearestMatches_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("expected");
        QTest::newRow("next from before the file") << "tcp" << 0 << 1 << 97;
        QTest::newRow("next from a match") << "tcp" << 97 << 1 << 194;
        QTest::newRow("next past the last") << "tcp" << 19982 << 1 << 0;
        QTest::newRow("next at the end") << "tcp" << kFrames << 1 << 0;
        QTest::newRow("previous from after the file") << "tcp" << kFrames + 1 << -1 << 19982;
        QTest::newRow("previous within a bin") << "tcp" << 19981 << -1 << 19885;
        QTest::newRow("previous before the first") << "tcp" << 97 << -1 << 0;
        QTest::newRow("previous at the start") << "tcp" << 1 << -1 << 0;
        QTest::newRow("the only match, ahead") << "src port 12345" << 1 << 1 << 12345;
        QTest::newRow("the only match, behind") << "src port 12345" << kFrames << -1 << 12345;
        QTest::newRow("no match at all") << "host 203.0.113.9" << 1 << 1 << 0;
    }
    void nearestMatches()
    {
        QFETCH(QString, expression);
        QFETCH(int, from);
        QFETCH(int, direction);
        QFETCH(int, expected);
        const FrameIndex index = indexFile(crafted, quiet, 8);
        const FilterExpression e = compiled(qPrintable(expression));
        const FileMatches found = findInIndexedFile(index, e, going);
        LoadReport report;
        QCOMPARE(nearestMatch(index, found, e, from, direction, report), expected);
        QVERIFY(report.ok());
    }

    // A file cut or replaced since it was searched: the result is no longer
    // current, a search refuses it, and a match is never read from stale offsets.
    void changedFiles()
    {
        const std::string path = write("changing.pcap", recorded::readFile(QString::fromStdString(crafted)));
        const FrameIndex index = indexFile(path, quiet);
        const FilterExpression tcp = compiled("tcp");
        const FileMatches found = findInIndexedFile(index, tcp, going);
        QVERIFY(matchesAreCurrent(found, index, "tcp"));
        QVERIFY(!matchesAreCurrent(found, index, "udp"));

        QFile cut(QString::fromStdString(path));
        QVERIFY(cut.resize(cut.size() / 2));
        QVERIFY(!matchesAreCurrent(found, index, "tcp"));
        LoadReport report;
        QCOMPARE(nearestMatch(index, found, tcp, 15000, 1, report), 0);
        QCOMPARE(report.error, LoadError::FileChanged);
        QCOMPARE(findInIndexedFile(index, tcp, going).report.error, LoadError::FileChanged);

        write("changing.pcap", recorded::readFile(QString::fromStdString(crafted)));   // replaced
        const FrameIndex again = indexFile(path, quiet);
        QVERIFY(!matchesAreCurrent(found, again, "tcp"));
        QVERIFY(matchesAreCurrent(findInIndexedFile(again, tcp, going), again, "tcp"));
    }

    // Stopped at its first report: not complete, and never current. Gone on
    // with from there, through a stride that begins before the stop, it ends
    // with the very counts of a pass never stopped.
    void stoppedPass()
    {
        const FrameIndex index = indexFile(crafted, quiet, 2);   // points 16384 frames apart
        const FilterExpression udp = compiled("udp");
        Stopper stopper;
        FileMatches found = findInIndexedFile(index, udp, stopper);
        QCOMPARE(stopper.reports, 1);
        QVERIFY(found.stopped && !found.complete());
        QVERIFY(found.frames < kFrames && found.frames % index.stride != 0);
        QVERIFY(!matchesAreCurrent(found, index, "udp"));
        continueFind(index, udp, found, going);
        const FileMatches whole = findInIndexedFile(index, udp, going);
        QVERIFY(matchesAreCurrent(found, index, "udp"));
        QCOMPARE(std::tuple(found.frames, found.count, found.firstFrame, found.lastFrame, found.lastTime),
                 std::tuple(whole.frames, whole.count, whole.firstFrame, whole.lastFrame, whole.lastTime));
        QCOMPARE(found.byFrame.counts, whole.byFrame.counts);
        QCOMPARE(found.byTime.counts, whole.byTime.counts);
    }

    // The first frame captured at or after a time: in file order, so frames
    // after the turn, 500 s earlier, never come before those at the time.
    void firstFrameAtTime_data()
    {
        QTest::addColumn<qint64>("time");
        QTest::addColumn<int>("expected");
        QTest::newRow("before the first") << qint64(craftedTime(1) - 1) << 1;
        QTest::newRow("the first") << qint64(craftedTime(1)) << 1;
        QTest::newRow("inside a burst: its first frame") << qint64(craftedTime(1235)) << 1231;
        QTest::newRow("between bursts") << qint64(craftedTime(1235) + 1) << 1241;
        QTest::newRow("the latest, before the turn") << qint64(craftedTime(kTurn - 1)) << 14991;
        QTest::newRow("after the latest") << qint64(craftedTime(kTurn - 1) + 1) << 0;
        // Earlier than the first frame's: frame 1, though the frames after the turn are nearer to it.
        QTest::newRow("a time met again only after the turn") << qint64(craftedTime(kTurn)) << 1;
    }
    void firstFrameAtTime()
    {
        QFETCH(qint64, time);
        QFETCH(int, expected);
        for (const size_t points : {FrameIndex::kMaxPoints, size_t(8)}) {
            const FrameIndex index = indexFile(crafted, quiet, points);
            QVERIFY(timeSearchProblem(index).empty());
            LoadReport report;
            QCOMPARE(firstFrameAtOrAfter(index, time, report), expected);
            QVERIFY(report.ok());
        }
    }

    // A dataset keeps no times: asked for one, the message says so and what to do instead.
    void datasetRefusesTimes()
    {
        const std::string path = write("frames.nivora", recorded::dataset(recorded::numbered(1, 100)));
        const FrameIndex index = indexFile(path, quiet);
        QVERIFY(index.ok());
        const QString problem = QString::fromStdString(timeSearchProblem(index));
        QVERIFY2(problem.contains("keeps no capture times") && problem.contains("first frame number"), qPrintable(problem));
    }

    void parsedTimes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("time");   // in the zone UTC
        QTest::newRow("seconds") << "1700000000" << true << qint64(1700000000) * kNsPerSecond;
        QTest::newRow("seconds and fraction") << "1700000000.5" << true << qint64(1700000000) * kNsPerSecond + 500000000;
        QTest::newRow("nanoseconds") << "1700000000.000000001" << true << qint64(1700000000) * kNsPerSecond + 1;
        QTest::newRow("as the player shows it") << "2023-11-14 22:13:20.000001" << true << qint64(1700000000) * kNsPerSecond + 1000;
        QTest::newRow("to the minute") << " 2023-11-14 22:13 " << true << qint64(1699999980) * kNsPerSecond;
        QTest::newRow("no such day") << "2023-02-30 10:00:00" << false << qint64(0);
        QTest::newRow("ten digits of fraction") << "1700000000.0000000001" << false << qint64(0);
        QTest::newRow("a word") << "noon" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("hour 24") << "2023-11-14 24:00:00" << false << qint64(0);
    }
    void parsedTimes()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qint64, time);
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "UTC");
        tzset();
        CaptureTime parsed = 0;
        const bool got = parseCaptureTime(text.toStdString(), parsed);
        if (zone.isNull()) qunsetenv("TZ");
        else qputenv("TZ", zone);
        tzset();
        QCOMPARE(got, ok);
        if (ok) QCOMPARE(parsed, time);
    }
};

QTEST_GUILESS_MAIN(TestFileFind)
#include "test_fileFind.moc"
