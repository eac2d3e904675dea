// nivora-cli as a user runs it: the fields table of a capture and of the same
// traffic as a dataset, conversions, info, the sample generator, and errors:
// writing onto the input, interrupted writes, output that cannot be written.
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <csignal>

#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
struct Run {
    int status = -1;
    QByteArray out, err;
};

QString cliPath() { return QCoreApplication::applicationDirPath() + "/nivora-cli"; }

Run cli(const QStringList& args, const QString& stdoutFile = {})
{
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    p.start(cliPath(), args);
    Run r;
    if (!p.waitForFinished(20000)) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Mixed traffic: TCP, UDP, ICMP with flags and options, and an ARP frame last.
std::vector<Frame> traffic()
{
    std::vector<Frame> all;
    for (int n = 0; n < 40; ++n) {
        Frame f = frames::ipv4(60 + n * 30, uint8_t(n % 3 == 0 ? 6 : n % 3 == 1 ? 17 : 1), uint16_t(2000 + n),
                               uint16_t(n % 2 ? 53 : 80), uint8_t(5 + n % 3));
        f[20] = uint8_t(n << 5);
        f[26 + n % 8] = uint8_t(n * 7);
        all.push_back(f);
    }
    Frame arp = frames::ipv4(60, 0);
    arp[12] = 0x08; arp[13] = 0x06;
    all.push_back(arp);
    return all;
}
}

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char* name) { return dir.filePath(name); }
    QStringList files(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System); }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(cliPath()), "build nivora-cli first");
        QVERIFY(recorded::writePcap(path("mix.pcap"), traffic()));
        QVERIFY(recorded::writeFile(path("bad.nivora"), "<NIVORA!"));
        QVERIFY(recorded::writeFile(path("big.nivora"), recorded::dataset({Frame(2000, 'x'), Frame(60, 'y')})));
        QVERIFY(recorded::writePcap(path("long.pcap"), {frames::ipv4(60, 6), frames::ipv4(1586, 6)}));
    }

    void fieldsAgreeForACaptureAndItsDataset()
    {
        const Run convert = cli({"convert", path("mix.pcap"), path("mix.nivora")});
        QCOMPARE(convert.status, 0);
        QVERIFY(convert.out.contains("wrote 41 frame(s)"));

        for (const QStringList& option : {QStringList{}, QStringList{"--labels"}}) {
            const Run a = cli(QStringList{"fields"} + option + QStringList{path("mix.pcap")});
            const Run b = cli(QStringList{"fields"} + option + QStringList{path("mix.nivora")});
            QCOMPARE(a.status + b.status, 0);
            QCOMPARE(a.out, b.out);
            const QList<QByteArray> lines = a.out.split('\n');
            QCOMPARE(lines.size(), 1 + 41 + 1);   // header, packets, the final newline
            QCOMPARE(lines[0].count('\t'), 18);
            auto cell = [&](int line, int column) { return lines[line].split('\t').value(column); };
            QCOMPARE(cell(1, 0), QByteArray("1"));
            QCOMPARE(cell(1, 1), QByteArray("59"));   // packet length: frame size minus one
            QCOMPARE(cell(2, 2), QByteArray("17"));   // the protocol stays a number
            QCOMPARE(cell(41, 8), QByteArray(option.isEmpty() ? "2054" : "0x806"));   // the ARP frame's Ethertype
        }
    }

    // By any name: the input is left as it was and nothing is written.
    void convertNeverWritesOntoItsInput_data()
    {
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("link");   // how `out` is made to reach the input
        QTest::newRow("same name") << "in.nivora" << "";
        QTest::newRow("another spelling") << "./in.nivora" << "";
        QTest::newRow("hard link") << "hard.nivora" << "hard";
        QTest::newRow("symbolic link") << "soft.pcap" << "soft";
    }
    void convertNeverWritesOntoItsInput()
    {
        QFETCH(QString, out);
        QFETCH(QString, link);
        QTemporaryDir own;
        // An oversized record and an unterminated tail: what a rewrite would lose.
        const QByteArray input = recorded::dataset({Frame(60, 'a'), Frame(1700, 'b'), Frame(60, 'c')}) + "tail";
        const QString in = own.filePath("in.nivora");
        QVERIFY(recorded::writeFile(in, input));
        if (link == "hard") QVERIFY(::link(QFile::encodeName(in), QFile::encodeName(own.filePath(out))) == 0);
        if (link == "soft") QVERIFY(QFile::link("in.nivora", own.filePath(out)));
        const QStringList before = files(own.path());
        const Run r = cli({"convert", in, own.path() + "/" + out});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("it is the input file"), r.err.constData());
        QCOMPARE(recorded::readFile(in), input);
        QCOMPARE(files(own.path()), before);
    }

    // Ctrl-C, kill or a closed terminal during a write: no file, no temporary file.
    void interruptedWritesLeaveNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("signal");
        QTest::newRow("synth, SIGINT") << QStringList{"synth", "--count", "400000", "@/out.nivora"} << SIGINT;
        QTest::newRow("synth, SIGTERM") << QStringList{"synth", "--count", "400000", "@/out.pcap"} << SIGTERM;
        QTest::newRow("convert, SIGHUP") << QStringList{"convert", "%/many.nivora", "@/out.pcap"} << SIGHUP;
    }
    void interruptedWritesLeaveNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, signal);
        if (!QFile::exists(path("many.nivora"))) QCOMPARE(cli({"synth", "--count", "300000", path("many.nivora")}).status, 0);
        QTemporaryDir own;
        args.replaceInStrings("@", own.path()).replaceInStrings("%", dir.path());
        QProcess p;
        p.start(cliPath(), args);
        // Signalled as soon as the temporary file is there.
        QElapsedTimer waited;
        for (waited.start(); files(own.path()).isEmpty() && waited.elapsed() < 20000;) QThread::msleep(1);
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);   // ended by the signal, as it should
        QCOMPARE(files(own.path()), QStringList{});
    }

    // A full disk under the standard output is a failure, told on stderr.
    void unwritableOutputIsReported_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("info") << QStringList{"info", "@/mix.pcap"};
        QTest::newRow("fields") << QStringList{"fields", "@/mix.pcap"};
        QTest::newRow("convert") << QStringList{"convert", "@/mix.pcap", "@/full.nivora"};
        QTest::newRow("synth") << QStringList{"synth", "--count", "10", "@/full.nivora"};
        QTest::newRow("help") << QStringList{"help"};
    }
    void unwritableOutputIsReported()
    {
        QFETCH(QStringList, args);
        const Run r = cli(args.replaceInStrings("@", dir.path()), "/dev/full");
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("cannot write the output: No space left on device"), r.err.constData());
    }

    void synthIsDeterministicAndInfoCountsItsMix()
    {
        QCOMPARE(cli({"synth", "--count", "30001", path("s1.nivora")}).status, 0);
        QCOMPARE(cli({"synth", "--count", "30001", path("s2.nivora")}).status, 0);
        QCOMPARE(recorded::readFile(path("s1.nivora")), recorded::readFile(path("s2.nivora")));
        const Run info = cli({"info", path("s1.nivora")});
        QVERIFY(info.out.contains("records found:     30001"));   // every one, stored or not
        QVERIFY(info.out.contains("packets stored:    30000"));
        QVERIFY(info.err.contains("exceeded buffer"));
        for (const char* kind : {"TCP", "UDP", "ICMP", "0x0806"}) QVERIFY2(info.out.contains(kind), kind);   // a mix
        QCOMPARE(cli({"synth", "--count", "0", path("s3.nivora")}).status, 2);
    }

    void errorsGoToStderr_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing file") << QStringList{"fields", "@/none.nivora"} << 1 << "No such file or directory";
        QTest::newRow("wrong header") << QStringList{"info", "@/bad.nivora"} << 1 << "not a nivora format file";
        QTest::newRow("unknown output") << QStringList{"convert", "@/big.nivora", "@/x.txt"} << 2 << "must end in .nivora";
        QTest::newRow("unknown extension") << QStringList{"synth", "@/x.txt"} << 2 << "must end in .nivora";
        for (const QStringList& args : {QStringList{"info", ""}, QStringList{"convert", "", "@/x.pcap"},
                                        QStringList{"convert", "@/mix.pcap", ""}, QStringList{"synth", ""}})
            QTest::newRow(qPrintable(args.join(" ").replace(dir.path(), ""))) << args << 2 << "the file name is empty";
        QTest::newRow("oversized record") << QStringList{"fields", "@/big.nivora"} << 1 << "longer than 1601 bytes";
        QTest::newRow("frame left out") << QStringList{"convert", "@/long.pcap", "@/long.nivora"} << 1
                                        << "1 frame(s) were left out, because a nivora dataset cannot carry them: 1 longer";
        QTest::newRow("no file given") << QStringList{"fields"} << 2 << "usage: nivora-cli fields";
    }
    void errorsGoToStderr()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        args.replaceInStrings("@", dir.path());
        const Run r = cli(args);
        QCOMPARE(r.status, status);
        QVERIFY2(QString(r.err).contains(says), r.err.constData());
        if (!says.contains("usage") && !says.contains("empty"))
            QVERIFY2(QString(r.err).contains(args.last()), r.err.constData());   // names the file at fault
        if (QTest::currentDataTag() == QByteArray("oversized record"))
            QCOMPARE(r.out.count('\n'), 2);   // the rest is still loaded and shown
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
