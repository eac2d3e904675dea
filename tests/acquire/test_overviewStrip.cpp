// The overview strip of a file whose times are not all sound: a few far-off
// times do not blank it, and times that go back too often put it along the
// frame number.
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "acquire/overviewStrip.h"
#include "core/frameIndex.h"
#include "core/timeBulk.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

namespace {
constexpr int kFrames = 40000;

// Uniform traffic: a frame every millisecond from 1700000000 s on.
std::vector<recorded::FileTime> uniformTimes()
{
    std::vector<recorded::FileTime> times;
    for (uint64_t k = 0; k < kFrames; ++k) times.push_back({1700000000 + k / 1000, k % 1000 * 1000});
    return times;
}

// The strip as the "Load Dataset" window shows it for the file, without the window on it.
QImage stripOf(const FrameIndex& index, OverviewStrip& strip)
{
    strip.setOverview(index.overview, index.frames, index.timeAxisUsable() ? &index.byTime : nullptr, index.farTimes);
    strip.resize(640, 64);
    return strip.grab().toImage();
}

// Columns inside the margins in which no pixel is lit.
int emptyColumns(const QImage& picture)
{
    int empty = 0;
    for (int x = 2; x < picture.width() - 2; ++x) {
        bool black = true;
        for (int y = 2; y < picture.height() - 2 && black; ++y) black = (picture.pixel(x, y) & 0xFFFFFF) == 0;
        empty += black ? 1 : 0;
    }
    return empty;
}
}

class TestOverviewStrip : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoadObserver quiet;

    FrameIndex indexed(const std::vector<recorded::FileTime>& times)
    {
        const std::vector<recorded::Frame> all(kFrames, frames::ipv4(60, 17));
        const QString file = dir.filePath("t.pcap");
        if (!recorded::writeFile(file, recorded::pcapFile(all, times, false))) return {};
        return indexFile(file.toStdString(), quiet);
    }

private slots:
    // One frame in 2098, one in 1970 and 300 frames going back in time: the
    // axis spans the others, the two far-off frames count at its ends and in
    // the tool tip, and hardly a column stays empty.
    void farOffTimesLeaveTheStripFull()
    {
        std::vector<recorded::FileTime> times = uniformTimes();
        times[10000] = {4045341612, 205395};
        times[20000] = {1, 0};
        for (uint64_t k = 30000; k < 30300; ++k) times[k] = {1700000030, (30300 - k) * 1000};
        const FrameIndex index = indexed(times);
        QVERIFY(index.ok() && index.timeAxisUsable());
        QCOMPARE(index.farTimes, int64_t(2));
        uint64_t binned = 0;
        for (const OverviewBin& b : index.byTime.bins()) binned += b.total();
        QCOMPARE(binned, uint64_t(kFrames));   // every frame drawn, the far-off ones too
        OverviewStrip strip;
        const QImage picture = stripOf(index, strip);
        QVERIFY2(emptyColumns(picture) <= (picture.width() - 4) / 50, qPrintable(QString::number(emptyColumns(picture))));
        QVERIFY2(strip.toolTip().contains("along its capture time (2 frame(s) with times far from the others' at its ends)"),
                 qPrintable(strip.toolTip()));
    }

    // Sound times: nothing far off, nothing going back, every column lit.
    void soundTimesFillTheStrip()
    {
        const FrameIndex index = indexed(uniformTimes());
        QCOMPARE(index.farTimes, int64_t(0));
        QCOMPARE(index.backwardSteps, int64_t(0));
        OverviewStrip strip;
        QCOMPARE(emptyColumns(stripOf(index, strip)), 0);
        QVERIFY(strip.toolTip().startsWith("The whole file along its capture time: "));
    }

    // Past 65536 times the sample keeps every other one, again and again:
    // the bulk and the far-off times are still told apart, a time at each
    // edge of the bulk is near.
    void aLongFileIsSampledEvenly()
    {
        TimeBulk bulk;
        const CaptureTime start = 1700000000 * kNsPerSecond;
        for (int64_t k = 0; k < 1000000; ++k) bulk.add(k == 500000 ? 0 : start + k * 1000);
        const TimeSpan near = bulk.near();
        QVERIFY(bulk.anyFar());
        QVERIFY(!near.contains(0) && near.contains(start) && near.contains(start + 999999 * 1000));
        QVERIFY(!near.contains(start + 3 * int64_t(999999) * 1000));   // three times the bulk's span on
        bulk = TimeBulk();
        for (int64_t k = 0; k < 1000000; ++k) bulk.add(start + k * 1000);
        QVERIFY(!bulk.anyFar());
    }

    // Every 20th frame swapped with the next: 1 frame in 20 comes earlier
    // than the one before it, and the strip runs along the frame number.
    void timesGoingBackOftenUseTheFrameNumber()
    {
        std::vector<recorded::FileTime> times = uniformTimes();
        for (size_t k = 0; k + 1 < times.size(); k += 20) std::swap(times[k], times[k + 1]);
        const FrameIndex index = indexed(times);
        QCOMPARE(index.backwardSteps, int64_t(kFrames / 20));
        QVERIFY(index.timesKnown() && !index.timeAxisUsable());
        OverviewStrip strip;
        QCOMPARE(emptyColumns(stripOf(index, strip)), 0);
        QVERIFY(strip.toolTip().startsWith("The whole file, frame by frame"));
    }
};

QTEST_MAIN(TestOverviewStrip)
#include "test_overviewStrip.moc"
