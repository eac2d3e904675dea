// pcapng written by the program, read back by tshark, capinfos and libpcap:
// times to the nanosecond, wire lengths, bytes and comments, on files larger
// than the writer's buffer; what cannot be written as given (times before
// 1970, comments longer than an option) is told; what other formats cannot
// carry (comments) is told too.
#include <QTemporaryDir>
#include <QTest>

#include "core/datasetWriter.h"
#include "core/pcapngBlocks.h"
#include "support/frames.h"
#include "support/recordedFiles.h"
#include "support/tshark.h"

using recorded::Frame;

namespace {
// Frame k: a TCP frame of a size that varies up to a full Ethernet frame,
// every 500th far larger than the writer's buffer.
Frame frameNumber(int k)
{
    const int size = k % 500 == 7 ? 200000 : 60 + (k * 37) % 1455;
    return frames::ipv4(size, 6, uint16_t(k), uint16_t(k >> 16), 5, uint8_t(k));
}
}

class TestPcapngFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::string path(const char* name) { return dir.filePath(name).toStdString(); }

private slots:
    // 3000 frames, about 3 MB: times in nanoseconds, one without a time (1 ms
    // after the one before), one before 1970 (told and invented the same way),
    // wire lengths beyond the captured bytes, and comments on some.
    void tsharkReadsWhatWasWritten()
    {
        if (!tshark::installed()) QSKIP("tshark is not installed: the file was not compared with its reading");
        constexpr int kFrames = 3000;
        FrameWriter writer(path("out.pcapng"));
        QVERIFY(writer.open());
        QStringList expected;
        std::vector<Frame> written;
        CaptureTime before = 0;
        for (int k = 0; k < kFrames; ++k) {
            const Frame f = frameNumber(k);
            CaptureTime time = captureTimeOf(1700000000 + k, k * 7919 % 1000000000, kNsPerSecond);
            if (k == 10) time = kNoTime;
            if (k == 20) time = -5;
            const CaptureTime kept = time == kNoTime || time < 0 ? before + 1'000'000 : time;
            before = kept;
            const uint32_t wire = uint32_t(f.size()) + (k % 3 == 0 ? 1000 : 0);
            FrameComments comments;
            if (k % 100 == 1) comments = {"finding " + std::to_string(k)};
            if (k == 2) comments = {"first", "second, with a comma", "Grüße, 東京"};
            const FrameStamp stamp{time, wire};
            QVERIFY(writer.add(f.data(), f.size(), &stamp, comments.empty() ? nullptr : &comments));
            written.push_back(f);
            expected << QString("%1.%2").arg(secondsOf(kept)).arg(nanosecondsOf(kept), 9, 10, QChar('0')) + "\t"
                            + QString::number(wire) + "\t" + QString::number(f.size()) + "\t"
                            + QString::fromStdString(comments.empty() ? "" : comments[0]);
            for (size_t c = 1; c < comments.size(); ++c) expected.last() += "\x1f" + QString::fromStdString(comments[c]);
        }
        const SaveReport report = writer.finish();
        QVERIFY2(report.ok, report.error.c_str());
        QCOMPARE(report.format, SaveFormat::Pcapng);
        QCOMPARE(report.written, kFrames);
        QCOMPARE(report.timesOutOfRange, 1);
        QVERIFY(QString::fromStdString(describeLeftOut(report)).startsWith("1 capture time(s) before 1970, which a pcapng file cannot hold"));

        QCOMPARE(tshark::capinfosStatus(dir.filePath("out.pcapng")), 0);
        const QList<QStringList> rows =
            tshark::fields(dir.filePath("out.pcapng"), {"frame.time_epoch", "frame.len", "frame.cap_len", "frame.comment"}, "\x1f");
        QCOMPARE(rows.size(), kFrames);
        for (int k = 0; k < kFrames; ++k) QCOMPARE(rows[k].join('\t'), expected[k]);
        // The bytes, as libpcap reads them.
        char error[PCAP_ERRBUF_SIZE];
        pcap_t* p = pcap_open_offline(path("out.pcapng").c_str(), error);
        QVERIFY2(p, error);
        pcap_pkthdr* h;
        const u_char* bytes;
        int k = 0;
        for (; pcap_next_ex(p, &h, &bytes) == 1; ++k)
            QVERIFY(k < kFrames && Frame(bytes, bytes + h->caplen) == written[size_t(k)]);
        pcap_close(p);
        QCOMPARE(k, kFrames);
    }

    // An option holds 65535 bytes: a longer comment is cut there, never inside a character.
    void longCommentsAreCutAtACharacter_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("kept");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("exactly the limit") << QByteArray(65535, 'a') << 65535;
        QTest::newRow("one over") << QByteArray(65536, 'a') << 65535;
        // "é" is two bytes: the one that would straddle the limit goes.
        QTest::newRow("two-byte character at the limit") << QByteArray(65534, 'a') + "é" << 65534;
        QTest::newRow("four-byte character at the limit") << QByteArray(65533, 'a') + "😀" << 65533;
        QTest::newRow("character ending at the limit") << QByteArray(65533, 'a') + "é" + "b" << 65535;
    }
    void longCommentsAreCutAtACharacter()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, kept);
        QCOMPARE(keptCommentBytes(text.toStdString()), size_t(kept));
    }

    // The cut is told; tshark reads the comment's first 65535 bytes.
    void aCutCommentIsTold()
    {
        FrameWriter writer(path("long.pcapng"));
        QVERIFY(writer.open());
        const FrameComments comments{std::string(70000, 'x'), "short"};
        const Frame f = frames::ipv4(60, 17);
        QVERIFY(writer.add(f.data(), f.size(), nullptr, &comments));
        const SaveReport report = writer.finish();
        QCOMPARE(report.commentsCut, 1);
        QVERIFY(QString::fromStdString(describeLeftOut(report)).contains("1 comment(s) longer than 65535 bytes were cut"));
        if (!tshark::installed()) return;
        const QList<QStringList> rows = tshark::fields(dir.filePath("long.pcapng"), {"frame.comment"});
        QCOMPARE(rows.value(0).value(0), QString(65535, 'x') + "|short");
    }

    // A dataset and a pcap keep no comments: the frames that had some are counted.
    void otherFormatsTellTheCommentsLost_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("dataset") << "lost.nivora";
        QTest::newRow("pcap") << "lost.pcap";
    }
    void otherFormatsTellTheCommentsLost()
    {
        QFETCH(QString, name);
        FrameWriter writer(dir.filePath(name).toStdString());
        QVERIFY(writer.open());
        const FrameComments comments{"a", "b"}, none;
        const Frame f = frames::ipv4(60, 17);
        for (const FrameComments* given : {&comments, &none, static_cast<const FrameComments*>(nullptr), &comments})
            QVERIFY(writer.add(f.data(), f.size(), nullptr, given));
        const SaveReport report = writer.finish();
        QVERIFY(report.ok && report.lostAnything());
        QCOMPARE(report.commentsLeftOut, 2);
        QCOMPARE(QString::fromStdString(describeLeftOut(report)),
                 "The comments of 2 frame(s) were left out: only a .pcapng file keeps comments.");
    }

    void formatFollowsTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::newRow("pcapng") << "a.pcapng" << int(SaveFormat::Pcapng);
        QTest::newRow("upper case") << "A.PCAPNG" << int(SaveFormat::Pcapng);
        QTest::newRow("pcap") << "a.pcap" << int(SaveFormat::Pcap);
        QTest::newRow("pcapng as a folder name") << "a.pcapng/b" << int(SaveFormat::Unknown);
        QTest::newRow("ng alone") << "a.ng" << int(SaveFormat::Unknown);
    }
    void formatFollowsTheName()
    {
        QFETCH(QString, name);
        QFETCH(int, format);
        QCOMPARE(int(saveFormatOf(name.toStdString())), format);
    }
};

QTEST_GUILESS_MAIN(TestPcapngFiles)
#include "test_pcapngFiles.moc"
