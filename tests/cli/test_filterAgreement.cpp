// One filter expression, four readers: `fields --filter`, `convert --filter`,
// the store's "Show only" and the find over a whole file (its count, first
// and last match, and its counts in the strip's bins) select exactly the
// frames tcpdump selects with
// the same expression, on traffic of real programs recorded on the loopback
// adapter (a web fetch, name lookups answered and unanswered, a TLS
// handshake, a UDP burst), on the bundled sample and on crafted frames
// (VLAN tags, frames cut short on capture, frames too short for their headers).
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/fileFind.h"
#include "core/fileLoader.h"
#include "core/showOnly.h"
#include "support/captureSupport.h"
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

// A listening TCP socket on 127.0.0.1 and its port.
int listening(uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(a.sin_port);
    return fd;
}

// A web fetch: curl asks the test's one-shot server for a page, served while it waits.
void webFetch(const QString& curl)
{
    uint16_t port = 0;
    const int server = listening(port);
    if (server < 0) return;
    QProcess client;
    client.start(curl, {"-s", "-o", "/dev/null", QString("http://127.0.0.1:%1/index.html").arg(port)});
    const int conn = ::accept(server, nullptr, nullptr);
    char request[2048];
    if (conn >= 0 && ::recv(conn, request, sizeof request, 0) > 0) {
        const QByteArray page = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 300\r\n\r\n" + QByteArray(300, 'x');
        (void)!::send(conn, page.constData(), size_t(page.size()), 0);
    }
    if (conn >= 0) ::close(conn);
    client.waitForFinished(10000);
    ::close(server);
}

// A name lookup to a resolver that answers (a query to the test's own
// socket, answered) and one to a port nobody listens on (ICMP unreachable).
void nameLookups()
{
    // A query for "example.test" type A.
    const QByteArray query = QByteArray::fromHex("abcd01000001000000000000076578616d706c6504746573740000010001");
    const int resolver = ::socket(AF_INET, SOCK_DGRAM, 0), asker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(resolver, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(resolver, reinterpret_cast<sockaddr*>(&a), &len);
    for (int k = 0; k < 3; ++k) {
        ::sendto(asker, query.constData(), size_t(query.size()), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
        char got[512];
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(resolver, got, sizeof got, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n > 2) {
            got[2] = char(0x81);   // a response: no such name
            got[3] = char(0x83);
            ::sendto(resolver, got, size_t(n), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
        }
    }
    sockaddr_in closed = a;
    closed.sin_port = htons(53);
    ::sendto(asker, query.constData(), size_t(query.size()), 0, reinterpret_cast<sockaddr*>(&closed), sizeof closed);
    QTest::qWait(50);
    ::close(resolver);
    ::close(asker);
}

// A TLS handshake between openssl's own server and client, with a key made for it.
void tlsHandshake(const QString& openssl, const QString& folder)
{
    const QString key = folder + "/key.pem", cert = folder + "/cert.pem";
    if (!run(openssl, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                       "/CN=localhost", "-days", "1", "-keyout", key, "-out", cert}))
        return;
    uint16_t port = 0;
    const int probe = listening(port);   // a free port, handed on to the server
    ::close(probe);
    QProcess server;
    server.start(openssl, {"s_server", "-accept", QString("127.0.0.1:%1").arg(port), "-cert", cert, "-key", key,
                           "-naccept", "1", "-quiet"});
    // The client ends its session when its input ends; until the server listens it is refused.
    for (int tries = 0; tries < 50; ++tries) {
        QTest::qWait(20);
        QProcess client;
        client.start(openssl, {"s_client", "-connect", QString("127.0.0.1:%1").arg(port)});
        client.closeWriteChannel();
        const bool ended = client.waitForFinished(5000);
        if (!ended) client.kill(), client.waitForFinished(1000);
        if (ended && client.exitCode() == 0) break;
    }
    server.kill();
    server.waitForFinished(5000);
}

// Every expression the readers must agree on.
const QStringList kExpressions = {
    "tcp",
    "udp and not port 53",
    "icmp",
    "arp",
    "host 127.0.0.1",
    "src host 10.0.0.5 or dst host 192.168.1.20",
    "net 10.0.0.0/8",
    "port 53",
    "tcp port 80 or host 10.0.0.5",
    "portrange 1-1023",
    "proto 17",
    "ip proto \\tcp and not portrange 0-1023",
    "tcp[tcpflags] & tcp-syn != 0",
    "tcp[tcpflags] & (tcp-syn|tcp-ack) == tcp-syn",
    "tcp[13] & 0x18 = 0x18",
    "icmp[icmptype] = icmp-unreach or icmp[icmptype] = icmp-echo",
    "len > 200",
    "greater 1000",
    "less 100",
    "vlan",
    "vlan and udp",
    "not tcp and not udp",
    "ether host 00:00:00:00:00:00",
    "ether broadcast or ether multicast",
    "ip[8] < 64",
    "udp[8:2] = 0xabcd",
};
}

class TestFilterAgreement : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString tcpdump;
    QStringList files;   // the captures compared on

    QString path(const QString& name) const { return dir.filePath(name); }

    // The find over the indexed file counts tcpdump's frames in the strip's bins, by frame and by time.
    static void findAgrees(const QString& in, const QString& expression, const QList<qint64>& numbers,
                           const QList<Record>& selected)
    {
        LoadObserver quiet;
        const FrameIndex index = indexFile(in.toStdString(), quiet);
        QVERIFY(index.ok() && index.timesKnown());
        std::string error;
        FindObserver going;
        const FileMatches found = findInIndexedFile(index, *FilterExpression::compile(expression.toStdString(), error), going);
        QVERIFY(found.complete());
        std::vector<int64_t> byFrame(index.overview.bins().size()), byTime(index.byTime.bins().size());
        for (qsizetype k = 0; k < numbers.size(); ++k) {
            ++byFrame[size_t((numbers[k] - 1) / index.overview.binWidth())];
            const QStringList parts = selected[k].time.split('.');
            const int64_t after = std::max<int64_t>(0, parts[0].toLongLong() * kNsPerSecond + parts[1].toLongLong() - index.byTimeOrigin);
            ++byTime[size_t(std::min<int64_t>(after / index.byTime.binWidth(), int64_t(byTime.size()) - 1))];
        }
        QCOMPARE(found.byFrame.counts, byFrame);
        QCOMPARE(found.byTime.counts, byTime);
    }

    // Records the programs' traffic on the loopback adapter; false when tcpdump cannot capture.
    bool recordLoopback(const QString& out)
    {
        QProcess recorder;
        recorder.start(tcpdump, {"-i", "lo", "-U", "-s", "0", "-w", out, "--immediate-mode"});
        if (!recorder.waitForStarted(5000)) return false;
        // tcpdump says on stderr when it is listening.
        QByteArray said;
        if (!capture_support::waitFor([&] { said += recorder.readAllStandardError();
                                            return said.contains("listening") || recorder.state() != QProcess::Running; }, 10000) ||
            recorder.state() != QProcess::Running)
            return false;
        if (const QString curl = QStandardPaths::findExecutable("curl"); !curl.isEmpty()) webFetch(curl);
        nameLookups();
        if (const QString openssl = QStandardPaths::findExecutable("openssl"); !openssl.isEmpty()) tlsHandshake(openssl, dir.path());
        capture_support::LoopbackUdp burst;
        for (int k = 0; k < 40; ++k) burst.send(20 + 30 * k, uint8_t(k));
        QTest::qWait(200);
        recorder.terminate();
        return recorder.waitForFinished(10000) && recordsOf(out).size() >= 40;
    }

private slots:
    void initTestCase()
    {
        tcpdump = QStandardPaths::findExecutable("tcpdump");
        if (tcpdump.isEmpty()) tcpdump = QStandardPaths::findExecutable("tcpdump", {"/usr/sbin", "/usr/bin"});
        if (tcpdump.isEmpty()) QSKIP("tcpdump is not installed: there is nothing to agree with");
        if (recordLoopback(path("lo.pcap"))) files << "lo.pcap";
        else qWarning("tcpdump cannot capture on lo here: the recorded traffic is left out");
        const QString sample = QCoreApplication::applicationDirPath() + "/sample.nivora";
        QCOMPARE(runCli({"convert", sample, path("sample.pcap")}).status, 0);
        files << "sample.pcap";
        // Crafted: VLAN-tagged UDP, frames cut to 40 bytes on capture, a bare Ethernet header, ARP.
        std::vector<Frame> crafted;
        for (int k = 0; k < 30; ++k) {
            Frame f = frames::ipv4(60 + 47 * k, k % 3 == 0 ? 6 : k % 3 == 1 ? 17 : 1, uint16_t(50 + k), 53);
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
        // Other programs' traffic on the adapter may take the recording past what the store holds.
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
        findAgrees(in, expression, numbers, selected);
    }

    // At least the traffic the expressions are about was recorded: each
    // matches some frame of some file, so no row agrees only on nothing.
    void everyExpressionMatchesSomewhere()
    {
        for (const QString& expression : kExpressions) {
            bool somewhere = false;
            for (const QString& file : files) {
                const QByteArray told = runCli({"info", "--filter", expression, path(file)}).out;
                somewhere = somewhere || (told.contains("matching:") && !told.contains("matching:          0\n"));
            }
            QVERIFY2(somewhere, qPrintable(expression));
        }
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
