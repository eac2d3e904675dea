// nivora-cli interfaces and capture as a user runs them: the adapter list,
// every kind of bad input, and real captures on the loopback adapter.
#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <signal.h>

#include "core/accessors.h"
#include "core/fileLoader.h"
#include "core/pcapAdapters.h"
#include "support/captureSupport.h"
#include "support/recordedFiles.h"

using namespace capture_support;

namespace {
struct Run {
    int status = -1;
    QString out, err;
};

QString cliPath() { return QCoreApplication::applicationDirPath() + "/nivora-cli"; }

Run finish(QProcess& p)
{
    Run r;
    if (p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit) r.status = p.exitCode();
    else { p.kill(); p.waitForFinished(); }
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
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
    waitFor([&] {
        err += p.readAllStandardError();
        return err.contains("Ctrl-C stops") || p.state() == QProcess::NotRunning;
    }, 5000);
    return err.contains("Ctrl-C stops");
}

// The sizes of the frames a written file holds; none if one had to be cut on loading.
QList<int> frameSizesIn(const QString& file)
{
    LoadObserver quiet;
    resetBuffer("startup");
    const LoadReport r = loadAnyFile(file.toStdString(), quiet);
    QList<int> sizes;
    for (int64_t n = r.firstPacket; n <= r.lastPacket; ++n) sizes << getPacketLength(n) + 1;
    return r.ok() && r.truncatedFrames == 0 ? sizes : QList<int>();
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
        QTest::addColumn<bool>("usage");
        QTest::newRow("no adapter") << QStringList{"-c", "3"} << 2 << "-i names the adapter" << true;
        QTest::newRow("zero count") << QStringList{"-i", "lo", "-c", "0"} << 2 << "not '0'" << true;
        QTest::newRow("count not a number") << QStringList{"-i", "lo", "-c", "ten"} << 2 << "not 'ten'" << true;
        QTest::newRow("unknown option") << QStringList{"-i", "lo", "-x"} << 2 << "unknown option '-x'" << true;
        QTest::newRow("option without value") << QStringList{"-i", "lo", "-w"} << 2 << "-w needs a value" << true;
        QTest::newRow("unknown file kind") << QStringList{"-i", "lo", "-w", "out.txt"} << 2
                                           << "the name must end in .nivora (dataset) or .pcap (capture)" << false;
        QTest::newRow("empty file name") << QStringList{"-i", "lo", "-w", ""} << 2 << "the file name is empty" << false;
        QTest::newRow("invalid filter") << QStringList{"-i", "lo", "-f", "udp portt 53"} << 2
                                        << "The capture filter is not valid: can't parse filter expression: syntax error"
                                        << false;
        QTest::newRow("no such adapter") << QStringList{"-i", "nivora-gone0", "-c", "1"} << 1
                                         << "Cannot capture on nivora-gone0: " << false;
        QTest::newRow("unwritable output") << QStringList{"-i", "lo", "-c", "1", "-w", dir.filePath("missing/out.pcap")}
                                           << 1 << dir.filePath("missing/out.pcap") << false;
    }
    void badInputIsRefusedBeforeAnythingIsCaptured()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(bool, usage);
        if (QTest::currentDataTag() == QByteArray("unwritable output")) SKIP_UNLESS_CAPTURE_PERMITTED();
        const Run r = cli(QStringList{"capture"} + args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        if (usage) QVERIFY(r.err.contains("usage: nivora-cli capture -i IFACE [-f FILTER] [-c COUNT] [-w OUT]"));
        QVERIFY(!r.err.contains("Ctrl-C stops"));   // it never started listening
        QVERIFY(!r.out.contains("received"));
    }

    // A capture ends after COUNT frames, on Ctrl-C, kill or a closed terminal,
    // and its file, a capture or a dataset, holds every frame (cut to the slot).
    void endsAndWritesEveryFrame_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("payloads");
        QTest::addColumn<QList<int>>("frameSizes");
        QTest::addColumn<int>("signal");
        QTest::newRow("-c 4, the fifth coming after the count")
            << QStringList{"-c", "4"} << "count.pcap" << QList<int>{10, 500, 1472, 3000, 20}
            << QList<int>{52, 542, 1514, 1601} << 0;
        QTest::newRow("Ctrl-C") << QStringList{} << "interrupted.nivora" << QList<int>{100, 101, 102}
                                << QList<int>{142, 143, 144} << SIGINT;
        QTest::newRow("kill") << QStringList{} << "killed.pcap" << QList<int>{7} << QList<int>{49} << SIGTERM;
        QTest::newRow("terminal closed") << QStringList{} << "hangup.nivora" << QList<int>{8, 9} << QList<int>{50, 51}
                                         << SIGHUP;
    }
    void endsAndWritesEveryFrame()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(QList<int>, payloads);
        QFETCH(QList<int>, frameSizes);
        QFETCH(int, signal);
        const QString out = dir.filePath(file);
        QProcess p;
        QString err;
        QVERIFY2(startCapture(p, QStringList{"-i", "lo", "-f", quietLoopbackFilter(), "-w", out} + args, err),
                 qPrintable(err));
        for (int i = 0; i < payloads.size(); ++i) QVERIFY(udp.send(payloads[i], uint8_t(i)));
        if (signal) {
            QTest::qWait(300);
            ::kill(pid_t(p.processId()), signal);
        }
        const Run r = finish(p);
        QCOMPARE(r.status, 0);
        const QString count = QString::number(frameSizes.size());
        QVERIFY2(r.out.contains(count + " frame(s) received, 0 dropped"), qPrintable(r.out));
        QVERIFY(r.out.contains("wrote " + count + " frame(s) to " + out));
        QCOMPARE(frameSizesIn(out), frameSizes);
    }

    // The frames are in the file within a second of their coming, while the
    // capture goes on; a pcap file keeps their times and lengths on the wire.
    void framesReachTheFileAsTheyCome_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("payload");   // of the second frame
        QTest::newRow("dataset") << "live.nivora" << 1500;
        QTest::newRow("capture") << "live.pcap" << 3000;
    }
    void framesReachTheFileAsTheyCome()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        QFETCH(QString, file);
        QFETCH(int, payload);
        const QString out = dir.filePath(file);
        QProcess p;
        QString err;
        QVERIFY2(startCapture(p, {"-i", "lo", "-f", quietLoopbackFilter(), "-w", out}, err), qPrintable(err));
        const qint64 sent = QDateTime::currentSecsSinceEpoch();
        QVERIFY(udp.send(10, 1) && udp.send(payload, 2));
        const QList<int> sizes = {52, std::min(42 + payload, 1601)};
        QVERIFY(waitFor([&] { return frameSizesIn(out) == sizes; }, 3000));
        QCOMPARE(p.state(), QProcess::Running);
        ::kill(pid_t(p.processId()), SIGINT);
        QCOMPARE(finish(p).status, 0);
        if (file.endsWith(".pcap")) {
            const QStringList stamps = recorded::stampsIn(out);
            QVERIFY(qAbs(stamps.value(0).section('.', 0, 0).toLongLong() - sent) <= 5);
            QVERIFY(stamps.value(1).endsWith(" 3042"));   // cut to the slot's 1601 bytes on capture
        }
    }
};

QTEST_MAIN(TestCliCapture)
#include "test_cli_capture.moc"
