// One filter expression, four readers: `fields --filter`, `convert --filter`,
// the store's "Show only" and `info --filter`'s find over a whole file (its
// count, first and last match; its bins: TestFileFind) select exactly the
// frames tcpdump selects with the same expression, on the bundled sample and
// on crafted frames (VLAN tags, frames longer than a slot, frames cut short
// on capture, frames too short for their headers).
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "core/fileLoader.h"
#include "core/showOnly.h"
#include "support/cliRun.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
// A frame as a file keeps it: its time, wire length and bytes.
struct Record {
    QString time;
    uint32_t wire;
    QByteArray bytes;
    bool operator==(const Record&) const = default;
};

QList<Record> recordsOf(const QString& path)
{
    char error[PCAP_ERRBUF_SIZE];
    pcap_t* p = pcap_open_offline_with_tstamp_precision(QFile::encodeName(path).constData(), PCAP_TSTAMP_PRECISION_NANO, error);
    QList<Record> records;
    pcap_pkthdr* h;
    const u_char* bytes;
    while (p && pcap_next_ex(p, &h, &bytes) == 1)
        records << Record{QString("%1.%2").arg(h->ts.tv_sec).arg(h->ts.tv_usec, 9, 10, QChar('0')), h->len,
                          QByteArray(reinterpret_cast<const char*>(bytes), int(h->caplen))};
    if (p) pcap_close(p);
    return records;
}

// The numbers of the frames of `all` that `chosen` holds, in order (chosen
// is a subsequence of all: a filter keeps frames in file order).
QList<qint64> numbersOf(const QList<Record>& chosen, const QList<Record>& all)
{
    QList<qint64> numbers;
    qsizetype next = 0;
    for (qsizetype k = 0; k < all.size() && next < chosen.size(); ++k)
        if (all[k] == chosen[next]) numbers << k + 1, ++next;
    return next == chosen.size() ? numbers : QList<qint64>{-1};
}

bool run(const QString& program, const QStringList& args, QByteArray* err = nullptr)
{
    QProcess p;
    p.start(program, args);
    const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (err) *err = p.readAllStandardError();
    return ok;
}

// Every expression the readers must agree on.
// Every expression the readers must agree on: one each for what the
// compiled code reads (protocols, ports, addresses, flags, ICMP types, wire
// lengths against cut frames, VLAN tags, Ethernet addresses, payload bytes).
const QStringList kExpressions = {
    "tcp",
    "udp and not port 53",
    "arp",
    "src host 10.0.0.5 or dst host 192.168.1.20",
    "portrange 1-1023",
    "tcp[tcpflags] & (tcp-syn|tcp-ack) == tcp-syn",
    "icmp[icmptype] = icmp-unreach or icmp[icmptype] = icmp-echo",
    "greater 1000",
    "less 100",
    "vlan and udp",
    "ether broadcast or ether multicast",
    "udp[8:2] = 0xabcd",
};
}

class TestFilterAgreement : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString tcpdump;
    QStringList files;   // the captures compared on
    QSet<QString> matched;   // the expressions that matched some frame of some file

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        tcpdump = QStandardPaths::findExecutable("tcpdump");
        if (tcpdump.isEmpty()) tcpdump = QStandardPaths::findExecutable("tcpdump", {"/usr/sbin", "/usr/bin"});
        if (tcpdump.isEmpty()) QSKIP("tcpdump is not installed: there is nothing to agree with");
        const QString sample = QCoreApplication::applicationDirPath() + "/sample.nivora";
        QCOMPARE(runCli({"convert", sample, path("sample.pcap")}).status, 0);
        files << "sample.pcap";
        // Crafted: TCP SYNs and SYN-ACKs, UDP carrying 0xabcd, ICMP unreachables,
        // frames longer than a slot, VLAN tags; cut to 40 bytes on capture; a bare Ethernet header.
        std::vector<Frame> crafted;
        for (int k = 0; k < 30; ++k) {
            const uint8_t protocol = k % 3 == 0 ? 6 : k % 3 == 1 ? 17 : 1;
            Frame f = frames::ipv4(60 + 101 * k, protocol, uint16_t(50 + k), 53);
            if (protocol == 6) f[47] = k % 2 ? 0x12 : 0x02;
            if (protocol == 17) f[42] = 0xAB, f[43] = 0xCD;
            if (protocol == 1) f[34] = 3;
            if (k % 4 == 0) {
                const uint8_t tag[4] = {0x81, 0x00, 0x00, uint8_t(k)};
                f.insert(f.begin() + 12, tag, tag + 4);
            }
            crafted.push_back(f);
        }
        crafted.push_back(Frame(14, 0xFF));
        QVERIFY(recorded::writePcap(path("crafted.pcap"), crafted));
        QVERIFY(recorded::writePcap(path("cut.pcap"), crafted, DLT_EN10MB, 40));
        files << "crafted.pcap" << "cut.pcap";
    }

    void readersAgreeWithTcpdump_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expression");
        for (const QString& file : files)
            for (const QString& expression : kExpressions)
                QTest::newRow(qPrintable(file + ": " + expression)) << file << expression;
    }
    void readersAgreeWithTcpdump()
    {
        QFETCH(QString, file);
        QFETCH(QString, expression);
        const QString in = path(file);
        const QString theirs = path("tcpdump.pcap"), ours = path("ours.pcap");
        QByteArray err;
        QVERIFY2(run(tcpdump, {"-r", in, "-w", theirs, expression}, &err), err.constData());
        const QList<Record> all = recordsOf(in), selected = recordsOf(theirs);
        const QList<qint64> numbers = numbersOf(selected, all);
        if (!numbers.isEmpty()) matched << expression;

        const CliRun convert = runCli({"convert", "--filter", expression, in, ours});
        QVERIFY2(convert.status == 0, convert.err.constData());
        QCOMPARE(recordsOf(ours), selected);

        const CliRun fields = runCli({"fields", "--filter", expression, in});
        QVERIFY2(fields.status == 0, fields.err.constData());
        QList<qint64> listed;
        for (const QByteArray& row : fields.out.split('\n').mid(1))
            if (!row.isEmpty()) listed << row.left(row.indexOf('\t')).toLongLong();
        QCOMPARE(listed, numbers);

        resetBuffer("startup");
        LoadObserver quiet;
        QVERIFY(loadAnyFile(in.toStdString(), quiet).ok());
        std::string error;
        setShowOnlyExpression(*FilterExpression::compile(expression.toStdString(), error));
        QList<qint64> shown;
        for (int64_t n = 1; n <= getPacketCount(); ++n)
            if (showOnlyMatches(n)) shown << n;
        setShowOnlyExpression({});
        // The store holds the file's first 30000 frames.
        QList<qint64> held = numbers;
        held.removeIf([](qint64 n) { return n > kSlotCount; });
        QCOMPARE(shown, held);

        const CliRun info = runCli({"info", "--filter", expression, in});
        QVERIFY2(info.status == 0, info.err.constData());
        QVERIFY2(info.out.contains("matching in file:  " + QByteArray::number(numbers.size()) + "\n"), info.out.constData());
        if (!numbers.isEmpty()) {
            QVERIFY(info.out.contains("first match:       frame " + QByteArray::number(numbers.first()) + " at "));
            QVERIFY(info.out.contains("last match:        frame " + QByteArray::number(numbers.last()) + " at "));
        }
    }

    // At least the traffic the expressions are about was recorded: each
    // matches some frame of some file, so no row agrees only on nothing.
    void everyExpressionMatchesSomewhere()
    {
        for (const QString& expression : kExpressions) QVERIFY2(matched.contains(expression), qPrintable(expression));
    }

    // render and pick draw only what the expression matches, of a window of
    // the file too: the same pictures as the file holding only those frames
    // (the text rainfall in hex, whose ASCII lines begin with packet numbers),
    // and pick names only matching packets.
    void renderAndPickFollowTheExpression()
    {
        const QString expression = "udp or arp";
        const QStringList hex{"--set", "frmVis1.cmbVisMode=hex"};
        QCOMPARE(runCli({"convert", "--window", "101-2100", "--filter", expression, path("sample.pcap"), path("only.pcap")}).status, 0);
        QCOMPARE(runCli(QStringList{"render", path("only.pcap"), "--out", path("only")} + hex).status, 0);
        QCOMPARE(runCli(QStringList{"render", path("sample.pcap"), "--out", path("filtered"), "--window", "101-2100",
                                    "--filter", expression} + hex).status, 0);
        int compared = 0;
        for (const QString& name : QDir(path("only")).entryList({"*.bmp"})) {
            if (name == "mainwindow.bmp") continue;   // its caption names the file
            QVERIFY2(QImage(path("only/") + name) == QImage(path("filtered/") + name), qPrintable(name));
            ++compared;
        }
        QVERIFY(compared >= 14);
        // The packets pick names under the text rainfall's rows are matching ones (store numbers: the window's 101st frame is 1).
        QSet<qint64> matching;
        for (const QByteArray& row : runCli({"fields", "--filter", expression, path("sample.pcap")}).out.split('\n').mid(1))
            if (!row.isEmpty()) matching << row.left(row.indexOf('\t')).toLongLong();
        for (const int y : {2, 50, 100}) {
            const CliRun picked = runCli({"pick", path("sample.pcap"), "--window", "101-2100", "--filter", expression,
                                          "--view", "textrainfall", "--at", QString("5,%1").arg(y)});
            QCOMPARE(picked.status, 0);
            const qint64 packet = picked.out.trimmed().toLongLong();
            QVERIFY2(matching.contains(packet + 100), picked.out.constData());
        }
    }

    // A bad expression is a usage error with libpcap's reason; one that matches nothing is none.
    void badAndEmptyExpressions_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        QTest::newRow("fields, syntax") << QStringList{"fields", "--filter", "tcp port", "IN"} << 2 << "syntax error";
        QTest::newRow("info, no value") << QStringList{"info", "IN", "--filter"} << 2 << "--filter needs";
        QTest::newRow("convert, bad port") << QStringList{"convert", "--filter", "port 70000", "IN", "OUT"} << 2 << "port";
        QTest::newRow("render, unknown word") << QStringList{"render", "IN", "--out", "DIR", "--filter", "ip proto frob"} << 2 << "frob";
        QTest::newRow("info, needs a netmask") << QStringList{"info", "--filter", "ip broadcast", "IN"} << 2 << "netmask";
        QTest::newRow("pick, syntax") << QStringList{"pick", "IN", "--view", "scatterplot", "--at", "1,1", "--filter", "(tcp"} << 2 << "syntax error";
        QTest::newRow("info, nothing matches") << QStringList{"info", "--filter", "host 203.0.113.9", "IN"} << 0 << "matching:          0\n";
    }
    void badAndEmptyExpressions()
    {
        QFETCH(QStringList, words);
        QFETCH(int, status);
        QFETCH(QString, told);
        words.replaceInStrings(QRegularExpression("^IN$"), path("sample.pcap"));
        words.replaceInStrings(QRegularExpression("^OUT$"), path("never.pcap"));
        words.replaceInStrings(QRegularExpression("^DIR$"), path("pictures"));
        const CliRun r = runCli(words);
        QCOMPARE(r.status, status);
        QVERIFY2((status ? r.err : r.out).contains(told.toUtf8()), (r.err + r.out).constData());
        QVERIFY(!QFile::exists(path("never.pcap")));
    }
};

QTEST_GUILESS_MAIN(TestFilterAgreement)
#include "test_filterAgreement.moc"
