// nivora-cli as a user runs it: the fields table of a capture and of the same
// traffic as a dataset, conversions, info, the sample generator, and errors.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
struct Run {
    int status = -1;
    QByteArray out, err;
};

QString cliPath() { return QCoreApplication::applicationDirPath() + "/nivora-cli"; }

Run cli(const QStringList& args)
{
    QProcess p;
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

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(cliPath()), "build nivora-cli first");
        QVERIFY(recorded::writePcap(path("mix.pcap"), traffic()));
        QVERIFY(recorded::writeFile(path("bad.nivora"), "<NIVORA!"));
        QVERIFY(recorded::writeFile(path("big.nivora"), recorded::dataset({Frame(2000, 'x'), Frame(60, 'y')})));
    }

    void fieldsAgreeForACaptureAndItsDataset()
    {
        const Run convert = cli({"convert", path("mix.pcap"), path("mix.nivora")});
        QCOMPARE(convert.status, 0);
        QVERIFY(convert.out.contains("wrote 41 frame(s)"));

        for (const QStringList& option : {QStringList{}, QStringList{"--labels"}}) {
            const Run a = cli(QStringList{"fields"} + option + QStringList{path("mix.pcap")});
            const Run b = cli(QStringList{"fields"} + option + QStringList{path("mix.nivora")});
            QCOMPARE(a.status, 0);
            QCOMPARE(b.status, 0);
            QCOMPARE(a.out, b.out);
            const QList<QByteArray> lines = a.out.split('\n');
            QCOMPARE(lines.size(), 1 + 41 + 1);   // header, packets, the final newline
            QVERIFY(lines[0].startsWith("packet\tpacket length\tIP Transport Protocol\tSource IP"));
            QVERIFY(lines[0].endsWith("\tIP Fragment Offset\tIP Header Checksum"));
            QCOMPARE(lines[0].count('\t'), 18);
            auto cell = [&](int line, int column) { return lines[line].split('\t').value(column); };
            QCOMPARE(cell(1, 0), QByteArray("1"));
            QCOMPARE(cell(1, 1), QByteArray("59"));   // packet length: frame size minus one
            QCOMPARE(cell(2, 2), QByteArray("17"));   // the protocol stays a number
            QCOMPARE(cell(41, 8), QByteArray(option.isEmpty() ? "2054" : "0x806"));   // the ARP frame's Ethertype
        }
    }

    void convertReportsFramesLeftOut()
    {
        std::vector<Frame> all = traffic();
        all.push_back(frames::ipv4(1586, 6));
        QVERIFY(recorded::writePcap(path("long.pcap"), all));
        const Run r = cli({"convert", path("long.pcap"), path("long.nivora")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("1 frame(s) were left out") && r.out.contains("longer than 1585 bytes"), r.out.constData());
    }

    void synthIsDeterministicAndInfoCountsItsMix()
    {
        QCOMPARE(cli({"synth", "--count", "2500", path("s1.nivora")}).status, 0);
        QCOMPARE(cli({"synth", "--count", "2500", path("s2.nivora")}).status, 0);
        QCOMPARE(recorded::readFile(path("s1.nivora")), recorded::readFile(path("s2.nivora")));
        const Run info = cli({"info", path("s1.nivora")});
        QVERIFY(info.out.contains("records found:     2500"));
        QVERIFY(info.out.contains("packets stored:    2500"));
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
        QTest::newRow("unknown output") << QStringList{"convert", "@/big.nivora", "@/x.txt"} << 1 << "must end in .nivora";
        QTest::newRow("unknown extension") << QStringList{"synth", "@/x.txt"} << 1 << ".nivora";
        QTest::newRow("oversized record") << QStringList{"fields", "@/big.nivora"} << 1 << "longer than 1601 bytes";
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
        if (args.size() > 1) QVERIFY2(QString(r.err).contains(args.last()), r.err.constData());   // names the file at fault
        if (QTest::currentDataTag() == QByteArray("oversized record"))
            QCOMPARE(r.out.count('\n'), 2);   // the rest is still loaded and shown
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
