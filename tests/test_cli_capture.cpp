// nivora-cli interfaces and capture as a user runs them: the adapter list,
// every kind of bad input, and real captures on the loopback adapter that end
// after COUNT frames or on Ctrl-C and leave every frame in the file.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <pcap/pcap.h>
#include <signal.h>

#include "core/pcapAdapters.h"
#include "support/captureSupport.h"

using namespace capture_support;

namespace {
const QString kUsage = "usage: nivora-cli capture -i IFACE [-f FILTER] [-c COUNT] [-w OUT]";

struct Run {
    int status = -1;
    QString out;
    QString err;
};

QString cliPath() { return QCoreApplication::applicationDirPath() + "/nivora-cli"; }

Run finish(QProcess& p, int ms = 5000)
{
    Run r;
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err += p.readAllStandardError();
    return r;
}

Run cli(const QStringList& args)
{
    QProcess p;
    p.start(cliPath(), args);
    return finish(p);
}

// Starts a capture and waits until it reports that it is listening.
bool startCapture(QProcess& p, const QStringList& args, QString& err)
{
    p.start(cliPath(), QStringList{"capture"} + args);
    QElapsedTimer t;
    t.start();
    while (!err.contains("Ctrl-C stops") && t.elapsed() < 5000 && p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(50);
        err += p.readAllStandardError();
    }
    return err.contains("Ctrl-C stops");
}

std::vector<int> frameSizesIn(const QString& pcapFile)
{
    char errbuf[PCAP_ERRBUF_SIZE];
    std::vector<int> sizes;
    pcap_t* file = pcap_open_offline(pcapFile.toLocal8Bit().constData(), errbuf);
    if (!file) return sizes;
    pcap_pkthdr* header;
    const u_char* bytes;
    while (pcap_next_ex(file, &header, &bytes) == 1) sizes.push_back(int(header->caplen));
    pcap_close(file);
    return sizes;
}
}

class TestCliCapture : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoopbackUdp udp;

    QString quietLoopbackFilter() const { return QString("udp and dst port %1").arg(udp.sinkPort()); }

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(cliPath()), "build nivora-cli first"); }

    void interfacesNumbersTheAdaptersInTheWindowsOrder()
    {
        const Run r = cli({"interfaces"});
        QCOMPARE(r.status, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        const AdapterListing listing = listPcapAdapters();
        QCOMPARE(lines.size(), int(listing.adapters.size()));
        for (size_t i = 0; i < listing.adapters.size(); ++i)
            QVERIFY(lines[int(i)].startsWith(QString("%1  %2").arg(i + 1, 2).arg(listing.adapters[i].description().c_str())));
    }

    void badInputIsRefusedBeforeAnythingIsCaptured_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no adapter") << QStringList{"-c", "3"} << 2 << "-i names the adapter";
        QTest::newRow("zero count") << QStringList{"-i", "lo", "-c", "0"} << 2 << "not '0'";
        QTest::newRow("count not a number") << QStringList{"-i", "lo", "-c", "ten"} << 2 << "not 'ten'";
        QTest::newRow("unknown option") << QStringList{"-i", "lo", "-x"} << 2 << "unknown option '-x'";
        QTest::newRow("option without value") << QStringList{"-i", "lo", "-w"} << 2 << "-w needs a value";
        QTest::newRow("unknown file kind") << QStringList{"-i", "lo", "-w", "out.txt"} << 2
                                           << "the name must end in .nivora (dataset) or .pcap (capture)";
        QTest::newRow("invalid filter") << QStringList{"-i", "lo", "-f", "udp portt 53"} << 2
                                        << "The capture filter is not valid: can't parse filter expression: syntax error";
        QTest::newRow("no such adapter") << QStringList{"-i", "nivora-gone0", "-c", "1"} << 1
                                         << "Cannot capture on nivora-gone0: ";
    }
    void badInputIsRefusedBeforeAnythingIsCaptured()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run r = cli(QStringList{"capture"} + args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        if (status == 2 && !message.contains("filter") && !message.contains(".nivora")) QVERIFY(r.err.contains(kUsage));
        QVERIFY(!r.out.contains("received"));
    }

    void unwritableOutputIsKnownBeforeCapturing()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        const Run r = cli({"capture", "-i", "lo", "-c", "1", "-w", dir.filePath("missing/out.pcap")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("missing/out.pcap"), qPrintable(r.err));
        QVERIFY(!r.err.contains("Ctrl-C stops"));
    }

    void stopsAfterCountFramesAndWritesThemAll()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        const QString out = dir.filePath("count.pcap");
        QProcess p;
        QString err;
        QVERIFY2(startCapture(p, {"-i", "lo", "-f", quietLoopbackFilter(), "-c", "4", "-w", out}, err), qPrintable(err));
        const std::vector<int> payloads = {10, 500, 1472, 3000, 20};   // the fifth comes after the count
        for (size_t i = 0; i < payloads.size(); ++i) QVERIFY(udp.send(payloads[i], uint8_t(i)));
        const Run r = finish(p);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("4 frame(s) received, 0 dropped"), qPrintable(r.out));
        QVERIFY(r.out.contains("wrote 4 frame(s) to " + out));
        QCOMPARE(frameSizesIn(out), (std::vector<int>{52, 542, 1514, 1601}));
    }

    void ctrlCEndsTheCaptureAndKeepsWhatCame()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        const QString out = dir.filePath("interrupted.nivora");
        QProcess p;
        QString err;
        QVERIFY2(startCapture(p, {"-i", "lo", "-f", quietLoopbackFilter(), "-w", out}, err), qPrintable(err));
        for (int i = 0; i < 3; ++i) QVERIFY(udp.send(100 + i, uint8_t(i)));
        QTest::qWait(300);
        ::kill(pid_t(p.processId()), SIGINT);
        const Run r = finish(p);
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("3 frame(s) received, 0 dropped"), qPrintable(r.out));
        QVERIFY(r.out.contains("wrote 3 frame(s) to " + out));
        const Run info = cli({"info", out});
        QVERIFY2(info.out.contains(QRegularExpression("packets stored: +3\n")), qPrintable(info.out));
    }
};

QTEST_MAIN(TestCliCapture)
#include "test_cli_capture.moc"
