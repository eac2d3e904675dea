// Real traffic recorded by tcpdump on the "any" adapter, as Linux cooked v2
// (its default) and v1 (-y LINUX_SLL): nivora's frames agree with tshark's
// reading of the same file frame for frame on addresses, ports, lengths and
// times, through the streaming reader and a whole load alike.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "core/fileLoader.h"
#include "core/frameStream.h"
#include "core/linkOrigins.h"
#include "core/storeHost.h"
#include "support/captureSupport.h"
#include "support/cliRun.h"
#include "support/recordedFiles.h"
#include "support/tshark.h"

namespace {
// "aa:bb:cc:dd:ee:ff" of the 6 bytes at p.
QByteArray macText(const uint8_t* p)
{
    QByteArray text;
    for (int i = 0; i < 6; ++i) text += (i ? ":" : "") + QByteArray::number(p[i], 16).rightJustified(2, '0');
    return text;
}
QByteArray ipText(const uint8_t* p) { return QByteArray::number(p[0]) + '.' + QByteArray::number(p[1]) + '.' + QByteArray::number(p[2]) + '.' + QByteArray::number(p[3]); }
}

class TestCookedCapture : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void cleanup() { setStoreHost(nullptr); }

    // The "any" adapter is offered for capture.
    void anyAdapterIsListed()
    {
        const CliRun listed = runCli({"interfaces"});
        QCOMPARE(listed.status, 0);
        QVERIFY2(listed.out.contains("[any]\n") || listed.out.contains("  any\n"), listed.out);
    }

    void agreesWithTshark_data()
    {
        QTest::addColumn<QStringList>("linkOption");
        QTest::addColumn<int>("headerBytes");   // of the cooked header tcpdump writes
        QTest::addColumn<QString>("note");
        QTest::newRow("cooked v2") << QStringList{} << 20 << "Linux cooked v2, header replaced";
        QTest::newRow("cooked v1") << QStringList{"-y", "LINUX_SLL"} << 16 << "Linux cooked v1, header replaced";
    }
    void agreesWithTshark()
    {
        QFETCH(QStringList, linkOption);
        QFETCH(int, headerBytes);
        QFETCH(QString, note);
        SKIP_UNLESS_CAPTURE_PERMITTED();
        for (const char* tool : {"tcpdump", "tshark"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) QSKIP(qPrintable(QString(tool) + " is not installed"));
        capture_support::LoopbackUdp udp;
        QVERIFY(udp.ok());
        const QString file = dir.filePath(QString(QTest::currentDataTag()).replace(' ', '_') + ".pcap");

        // Recorded with tcpdump's own defaults but for the link type; each frame handed over and written at once,
        // from a buffer that holds more than 8 of its 256 KiB frame slots.
        QProcess tcpdump;
        tcpdump.start("tcpdump", QStringList{"-i", "any", "-n", "--immediate-mode", "-B", "65536", "-U", "-w", file} + linkOption
                                     + QStringList{"udp", "and", "port", QString::number(udp.sinkPort())});
        QByteArray said;
        QVERIFY(capture_support::waitFor([&] { return (said += tcpdump.readAllStandardError()).contains("listening on"); }, 10000));
        // Payload sizes from none to more than the store keeps of a frame.
        constexpr int kDatagrams = 60;
        for (int k = 0; k < kDatagrams; ++k) QVERIFY(udp.send(k * 29 % 1700, uint8_t(k)));
        QTest::qWait(300);
        ::kill(pid_t(tcpdump.processId()), SIGINT);
        QVERIFY(tcpdump.waitForFinished(10000));

        const QList<QStringList> theirs = tshark::fields(file, {"frame.time_epoch", "frame.len", "frame.cap_len", "sll.src.eth",
                                                                "ip.src", "ip.dst", "udp.srcport", "udp.dstport"});
        QVERIFY2(theirs.size() >= kDatagrams, qPrintable(QString("tshark read %1 frames; ").arg(theirs.size()) + said + tcpdump.readAllStandardError()));

        // Streamed: the cooked header became an Ethernet header, 14 bytes in place of its own.
        LoadReport report;
        const auto stream = openFrameStream(QFile::encodeName(file).toStdString(), report);
        QVERIFY2(stream, report.message.c_str());
        QList<QStringList> ours;
        std::vector<recorded::Frame> streamed;
        stream->read(report, stream->start(), [&](const StreamFrame& f) {
            const uint8_t* b = f.frame.data;
            const int shift = kEthernetHeaderBytes - headerBytes;
            ours.append({epochSecondsText(f.frame.stamp->time).c_str(), QByteArray::number(f.frame.stamp->wireLength - shift),
                         QByteArray::number(qint64(f.frame.size) - shift), macText(b + 6), ipText(b + 26), ipText(b + 30),
                         QByteArray::number(b[34] << 8 | b[35]), QByteArray::number(b[36] << 8 | b[37])});
            streamed.emplace_back(b, b + std::min<size_t>(f.frame.size, kSlotBytes));
            return b[12] == 0x08 && b[13] == 0x00;   // IPv4, as every frame recorded is
        });
        QVERIFY(report.damage.empty());
        QCOMPARE(ours, theirs);

        const CliRun info = runCli({"info", file});
        QVERIFY2(info.out.contains("link headers:      " + note.toUtf8() + " (" + QByteArray::number(ours.size()) + " frames)"), info.out);

        // Loaded whole through libpcap: the frames the stream gave, and the store knows what they were.
        LoadObserver quiet;
        const LoadReport whole = loadCaptureFile(QFile::encodeName(file).toStdString(), quiet);
        QVERIFY2(whole.ok(), whole.message.c_str());
        QCOMPARE(whole.packetsStored, qint64(streamed.size()));
        for (int64_t n = 1; n <= whole.packetsStored; ++n) {
            QCOMPARE(recorded::stored(n), streamed[size_t(n - 1)]);
            QCOMPARE(linkTypeOfPacket(n), headerBytes == 20 ? link_type::kLinuxCooked2 : link_type::kLinuxCooked);
        }

        // convert writes Ethernet and says so; fields reads the copy as the original.
        const CliRun convert = runCli({"convert", file, dir.filePath("eth.pcap")});
        QVERIFY2(convert.status == 0 && convert.out.contains("written as Ethernet frames: " + note.toUtf8()), convert.out);
        const CliRun fields = runCli({"fields", "--labels", "--time", file});
        QCOMPARE(fields.out.count('\n'), ours.size() + 1);
        QCOMPARE(runCli({"fields", "--labels", "--time", dir.filePath("eth.pcap")}).out, fields.out);
    }
};

QTEST_MAIN(TestCookedCapture)
#include "test_cookedCapture.moc"
