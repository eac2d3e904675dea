// nivora-cli capture from a stream: a pcap or pcapng capture written into its
// standard input or a named pipe comes out in its -w file frame for frame,
// times and wire lengths included; a writer that opens late, writes slowly
// or dies mid-record; what is not a capture; -c and -f on a stream.
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include "support/captureSupport.h"
#include "support/capturedLines.h"
#include "support/cliRun.h"

using capture_support::waitFor;
using recorded::numbered;

class TestCliStream : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const QString& name) { return dir.filePath(name); }

    // What the capture file of `bytes` holds, frame by frame.
    QStringList linesOf(const QByteArray& bytes)
    {
        const QString in = path("in.capture");
        recorded::writeFile(in, bytes);
        return captured::fileLines(in);
    }

    QByteArray libpcapFile(const std::vector<recorded::Frame>& frames)
    {
        recorded::writePcap(path("l.pcap"), frames);
        return recorded::readFile(path("l.pcap"));
    }

    // Runs capture on standard input, written in pieces of `piece` bytes.
    CliRun throughStdin(const QStringList& options, const QByteArray& bytes, qsizetype piece)
    {
        QProcess p;
        p.start(cliPath(), QStringList{"capture", "-i", "-"} + options);
        CliRun r;
        if (!p.waitForStarted()) return r;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            p.write(bytes.mid(at, piece));
            p.waitForBytesWritten();
        }
        p.closeWriteChannel();
        if (!p.waitForFinished(20000)) return r;
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

private slots:
    // Every frame written comes out the same, through a real pipe, in pieces
    // that cut records anywhere.
    void stdinToFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::newRow("pcap µs, libpcap's") << libpcapFile(numbered(1, 300)) << "stream ended after 300 frames\n";
        QTest::newRow("pcap ns, other byte order") << captured::bigEndianPcap(numbered(1, 300)) << "stream ended after 300 frames\n";
        QTest::newRow("pcapng, two sections, other link types")
            << captured::mixedPcapng(75) << "stream ended after 300 frames\n";
    }
    void stdinToFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        const QString out = path("out.pcap");
        for (qsizetype piece : {qsizetype(777), bytes.size()}) {
            const CliRun r = throughStdin({"-w", out}, bytes, piece);
            QCOMPARE(QString(r.out), said + "wrote 300 frame(s) to " + out + "\n");
            QCOMPARE(r.status, 0);
            QCOMPARE(captured::fileLines(out), linesOf(bytes));
        }
    }

    // -c ends after COUNT frames that pass -f, compiled by libpcap.
    void countAndFilter()
    {
        std::vector<recorded::Frame> frames = numbered(1, 40);   // UDP, ports numbered
        frames.insert(frames.begin() + 5, frames::ipv4(80, 6, 1234, 80));
        const QString out = path("f.pcap");
        const CliRun r = throughStdin({"-f", "udp src port 7 or tcp", "-c", "2", "-w", out}, libpcapFile(frames), 100000);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("2 frame(s) passed the filter\nwrote 2 frame(s)"), r.out.constData());
        const QStringList all = linesOf(libpcapFile(frames));
        QCOMPARE(captured::fileLines(out), (QStringList{all[5], all[7]}));
        const CliRun bad = throughStdin({"-f", "udp("}, libpcapFile(frames), 100000);
        QCOMPARE(bad.status, 2);
        QVERIFY(bad.err.contains("The capture filter is not valid: "));
    }

    // Refused at once with what it was; nothing written.
    void notACapture_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("text") << QByteArray("tcpdump: lo: You don't have permission\n")
                              << "the stream is not a pcap or pcapng capture: it begins with the text \"tcpdump: lo: You\"";
        QTest::newRow("dataset") << recorded::dataset(numbered(1, 3)) << "it is a nivora dataset";
        QTest::newRow("802.11") << libpcapFile({}).replace(20, 1, "\x69")
                                << "the stream holds IEEE802_11 (802.11) frames";
    }
    void notACapture()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const CliRun r = throughStdin({}, bytes, 3);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(error.toUtf8()), r.err.constData());
        QCOMPARE(QString(r.out), QString("0 frame(s) received\n"));
    }

    // A named pipe: waited on while no writer comes, read as a slow writer
    // writes, ended when the writer dies mid-record with what was dropped.
    void namedPipe()
    {
        const QString fifo = path("stream.fifo"), out = path("p.pcap");
        QCOMPARE(::mkfifo(qPrintable(fifo), 0600), 0);
        QProcess p;
        p.start(cliPath(), {"capture", "-i", fifo, "-w", out});
        QString err;
        QVERIFY(waitFor([&] { return (err += p.readAllStandardError()).contains("waiting for data on " + fifo); }, 5000));
        QTest::qWait(300);   // the writer opens late; nothing ends meanwhile
        QCOMPARE(p.state(), QProcess::Running);
        QFile writer(fifo);
        QVERIFY(writer.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray bytes = libpcapFile(numbered(1, 5));
        const qsizetype cut = bytes.size() - 10;
        for (qsizetype at = 0; at < cut; at += 50) {   // slowly, in pieces
            writer.write(bytes.mid(at, std::min<qsizetype>(50, cut - at)));
            QTest::qWait(20);
        }
        QVERIFY(waitFor([&] { return recorded::stampsIn(out).size() == 4; }, 3000));   // within a second of coming
        writer.close();   // the writer dies in the middle of the last frame
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(QString(p.readAllStandardOutput()), "stream ended after 4 frames\nthe last frame was cut short: 71 bytes dropped\nwrote 4 frame(s) to " + out + "\n");
        QCOMPARE(captured::fileLines(out), linesOf(bytes).mid(0, 4));
    }

    // A name that is neither "-" nor a named pipe is an adapter's.
    void notAStream()
    {
        const CliRun r = runCli({"capture", "-i", path("missing.fifo")});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains("Cannot capture on " + path("missing.fifo").toUtf8()));
    }
};

QTEST_GUILESS_MAIN(TestCliStream)
#include "test_cliStream.moc"
