// nivora-cli as a user runs it: the fields table of a capture and of the same
// traffic as a dataset, info, the sample generator, real captures on the
// loopback adapter, and what it refuses or reports: bad words, writing onto
// the input, interrupted writes, output that cannot be written.
#include <QDateTime>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/stat.h>

#include "core/pcapAdapters.h"
#include "support/captureSupport.h"
#include "support/cliRun.h"
#include "support/recordedFiles.h"

using capture_support::waitFor;
using recorded::Frame;

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    capture_support::LoopbackUdp udp;
    // An oversized record and an unterminated tail: what a rewrite would lose.
    const QByteArray input = recorded::dataset({Frame(60, 'a'), Frame(1700, 'b'), Frame(60, 'c')}) + "tail";

    QString path(const char* name) { return dir.filePath(name); }
    QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void initTestCase()
    {
        QCOMPARE(runCli({"synth", "--count", "60", path("mix.pcap")}).status, 0);
        QVERIFY(recorded::writeFile(path("bad.nivora"), "<NIVORA!"));
        QVERIFY(recorded::writeFile(path("text.pcap"), "GET / HTTP/1.1\r\nHost: example\r\n"));
        QVERIFY(recorded::writeFile(path("zip.pcap"), QByteArray("PK\x03\x04\x14\x00\x00\x00", 8)));
        QVERIFY(recorded::writeFile(path("empty.pcap"), ""));
        QVERIFY(recorded::writeFile(path("big.nivora"), recorded::dataset({Frame(2000), Frame(60)})));
        QVERIFY(recorded::writePcap(path("long.pcap"), {frames::ipv4(60, 6), frames::ipv4(1586, 6)}));
        QVERIFY(recorded::writeFile(path("in.nivora"), input));
        QVERIFY(::link(qPrintable(path("in.nivora")), qPrintable(path("hard.nivora"))) == 0);
        QVERIFY(QFile::link("in.nivora", path("soft.pcap")));
        QVERIFY(QDir(dir.path()).mkdir("written"));   // for what the commands write
        for (const char* pipe : {"pipe", "pipe.pcap"}) QCOMPARE(::mkfifo(qPrintable(path(pipe)), 0600), 0);
    }

    // The same frames as a capture and as a dataset: the same table, values
    // or labels; the protocol stays a number.
    void fieldsAgreeForACaptureAndItsDataset()
    {
        const CliRun convert = runCli({"convert", path("mix.pcap"), path("written/mix.nivora")});
        QVERIFY2(convert.status == 0 && convert.out.contains("wrote 60 frame(s)"), convert.err.constData());
        for (const QStringList& fields : {QStringList{"fields"}, QStringList{"fields", "--labels"}}) {
            const CliRun a = runCli(QStringList(fields) << path("mix.pcap"));
            QCOMPARE(a.status, 0);
            QCOMPARE(runCli(QStringList(fields) << path("written/mix.nivora")).out, a.out);
            QCOMPARE(a.out.count('\n'), 1 + 60);   // the header and every packet
            const QList<QByteArray> first = a.out.split('\n')[1].split('\t');   // UDP over IPv4
            QCOMPARE(first[2] + " " + first[8], fields.size() == 1 ? "17 2048" : "17 0x800");
        }
    }

    // fields --time puts the capture time first (every frame's against
    // tshark's: TestStreamedTimes); a dataset's column is empty. info tells
    // the first and last time and the span between, whatever lies between.
    void fieldsAndInfoTellCaptureTimes()
    {
        const auto all = recorded::numbered(1, 3);
        QVERIFY(recorded::writeFile(path("times.pcap"), recorded::pcapFile(all, {{1700000000, 0}, {1600000000, 1}, {3000000000, 999999}}, false)));
        QVERIFY(runCli({"fields", "--time", path("times.pcap")}).out.split('\n').value(2).startsWith("1600000000.000001000\t2\t"));
        const CliRun info = runCli({"info", path("times.pcap")});
        QVERIFY2(info.out.contains("(1700000000.000000000)\nlast time:") && info.out.contains("(3000000000.999999000)\n")
                     && info.out.contains("duration:          1300000000.999999 s\n"),
                 info.out.constData());
        QVERIFY(runCli({"info", path("in.nivora")}).out.contains("capture times:     none\n"));
        QVERIFY(runCli({"fields", "--time", path("in.nivora")}).out.split('\n').value(1).startsWith("\t1\t"));
    }

    // fields --comments puts a frame's comments last, on its one line; info counts the frames that have any.
    void commentsInFieldsAndInfo()
    {
        recorded::Pcapng w;
        w.section().interface();
        w.packet(0, recorded::numberedFrame(1), 0, 0, {"two\tlines\nhere", "second"});
        w.packet(0, recorded::numberedFrame(2));
        w.packet(0, recorded::numberedFrame(3), 0, 0, {""});
        QVERIFY(recorded::writeFile(path("commented.pcapng"), w.b));
        const QList<QByteArray> rows = runCli({"fields", "--comments", path("commented.pcapng")}).out.split('\n');
        QCOMPARE(rows.size(), 1 + 3 + 1);
        QVERIFY(rows[0].endsWith("\tudp_dport\tcomments") || rows[0].endsWith("\tcomments"));
        QVERIFY2(rows[1].endsWith("\ttwo\\tlines\\nhere|second"), rows[1].constData());
        QCOMPARE(rows[1].count('\t'), rows[0].count('\t'));
        QVERIFY(rows[2].endsWith('\t') && rows[3].endsWith('\t'));
        QVERIFY(runCli({"info", path("commented.pcapng")}).out.contains("commented frames:  2\n"));
        QVERIFY(runCli({"info", path("mix.pcap")}).out.contains("commented frames:  0\n"));
    }

    // One record past the 30000 the store keeps: every one is counted, the
    // store is full, and the note goes to stderr.
    void synthIsDeterministicAndInfoCountsItsMix()
    {
        QCOMPARE(runCli({"synth", "--count", "30001", path("written/a.nivora")}).status, 0);
        QCOMPARE(runCli({"synth", "--count", "30001", path("written/b.nivora")}).status, 0);
        QCOMPARE(recorded::readFile(path("written/a.nivora")), recorded::readFile(path("written/b.nivora")));
        const CliRun info = runCli({"info", path("written/a.nivora")});
        QVERIFY(info.status == 0 && info.out.contains("records found:     30001\npackets stored:    30000"));
        QVERIFY(info.err.contains("exceeded buffer"));   // a note, not a failure
        for (const char* kind : {"TCP", "UDP", "ICMP", "0x0806"}) QVERIFY2(info.out.contains(kind), kind);
    }

    // A window of the file's frames: fields numbers them as the file does, row
    // for row as tshark reads them (IPv4 fields where the frame is IPv4); info
    // says what a load would hold without loading. (convert --window: TestStreamedTimes.)
    void windowOfABigFile()
    {
        QCOMPARE(runCli({"synth", "--count", "70000", path("written/big.pcap")}).status, 0);
        const CliRun fields = runCli({"fields", "--labels", "--window", "30001-60000", path("written/big.pcap")});
        QCOMPARE(fields.status, 0);
        QList<QByteArray> rows = fields.out.split('\n');
        QCOMPARE(rows.size(), 1 + 30000 + 1);   // the header, the rows, nothing after the last newline
        QVERIFY(rows[1].startsWith("30001\t") && rows[30000].startsWith("60000\t"));

        const CliRun info = runCli({"info", "--window", "40001-70000", path("written/big.pcap")});
        QVERIFY(info.out.contains("frames:            70000\nwindow:            40001 - 70000 of 70,000\nrecords found:     70000\npackets stored:    30000\n"));
        QVERIFY(!info.err.contains("exceeded buffer"));

        if (QStandardPaths::findExecutable("tshark").isEmpty()) QSKIP("tshark is not installed: the rows were not compared with its own");
        QProcess tshark;
        QStringList args{"-n", "-r", path("written/big.pcap"), "-Y", "frame.number >= 30001 && frame.number <= 60000",
                         "-T", "fields", "-E", "occurrence=f"};   // the outer header where an ICMP error quotes another
        for (const char* field : {"frame.number", "frame.cap_len", "ip.proto", "ip.src", "ip.dst", "ip.ttl", "ip.hdr_len",
                                  "ip.version", "eth.type", "tcp.srcport", "tcp.dstport", "udp.srcport", "udp.dstport",
                                  "ip.dsfield", "ip.len", "ip.id", "ip.flags", "ip.frag_offset", "ip.checksum"})
            args << "-e" << field;
        tshark.start("tshark", args);
        QVERIFY(tshark.waitForFinished(120000));
        const QList<QByteArray> theirs = tshark.readAllStandardOutput().split('\n');
        QCOMPARE(theirs.size(), rows.size() - 1);
        for (int k = 0; k < 30000; ++k) {
            const QList<QByteArray> t = theirs[k].split('\t');
            QList<QByteArray> ours = rows[k + 1].split('\t');
            QCOMPARE(ours[0], t[0]);
            QCOMPARE(ours[1].toInt(), std::min(t[1].toInt(), 1601) - 1);   // the last byte's index
            if (t[8] != "0x0800") continue;   // tshark reads no IPv4 fields in other frames
            const auto number = [](const QByteArray& text) { return QByteArray::number(text.toLongLong(nullptr, 0)); };
            const int flags = t[16].toInt(nullptr, 16);
            const QByteArray words = QByteArray(flags & 4 ? "reserved" : "") + (flags & 2 ? "DF" : "") + (flags & 1 ? "MF" : "");
            const bool tcp = t[2] == "6", udp = t[2] == "17";
            QList<QByteArray> expected = {t[0], ours[1], t[2], t[3], t[4], t[5], QByteArray::number(t[6].toInt() / 4),
                                          t[7], "0x800", tcp ? t[9] : "0", tcp ? t[10] : "0", udp ? t[11] : "0", udp ? t[12] : "0",
                                          number(t[13]), t[14], number(t[15]), words, t[17], number(t[18])};
            // tshark reads a fragmented datagram's ports where it puts it together;
            // nivora reads the bytes where the ports stand in every frame.
            if ((flags & 1) || t[17] != "0")
                for (int port = 9; port <= 12; ++port) ours[port] = expected[port];
            QCOMPARE(ours, expected);
        }
    }

    // Refused with a status of 1 (the file or adapter at fault) or 2 (bad words) and
    // the reason on stderr; nothing is written, the input is kept, no capture starts.
    void errorsGoToStderr_data()
    {
        QTest::addColumn<QString>("line");   // the words, split at spaces, and where stdout goes
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");   // @ is the test folder in both
        const auto row = [](const char* line, int status, const QString& says) {
            QTest::newRow(line) << QString(line) << status << says;
        };
        row("fields @/none.nivora", 1, "Cannot open \"@/none.nivora\": No such file or directory");
        row("info @/bad.nivora", 1, "\"@/bad.nivora\" is not a nivora format file");
        const QString neither = " is neither a nivora dataset nor a pcap or pcapng capture: ";
        row("info @/text.pcap", 1, "\"@/text.pcap\"" + neither + "it begins with the text \"GET / HTTP/1.1\\r\\n\"\n");
        row("fields @/zip.pcap", 1, "\"@/zip.pcap\"" + neither + "it begins with the bytes 50 4B 03 04 14 00 00 00\n");
        row("convert @/empty.pcap @/e.nivora", 1, "\"@/empty.pcap\"" + neither + "it is empty\n");
        row("fields @/big.nivora", 1, "1 record(s) in \"@/big.nivora\" were longer than 1601 bytes");
        row("convert @/long.pcap @/written/long.nivora", 1, "long.nivora\": 1 frame(s) were left out");
        for (const char* line : {"convert @/in.nivora @/in.nivora", "convert @/in.nivora @/./in.nivora",
                                 "convert @/in.nivora @/hard.nivora", "convert @/in.nivora @/soft.pcap"})
            row(line, 1, "it is the input file");   // by any name
        row("info @/mix.pcap >/dev/full", 1, "cannot write the output: No space left on device");
        row("help >/dev/full", 1, "cannot write the output: No space left on device");
        row("convert @/mix.pcap @/x.txt", 2, "\"@/x.txt\": the name must end in .nivora (dataset), .pcap or .pcapng (capture)");
        for (const char* line : {"info ", "convert  @/x.pcap", "convert @/mix.pcap ", "synth "})
            row(line, 2, "the file name is empty");
        row("fields", 2, "usage: nivora-cli fields");
        row("info --window 1-30001 @/mix.pcap", 2, "the window 1-30001 holds 30001 frames; at most 30000 fit the store");
        row("fields --window 5-4 @/mix.pcap", 2, "the window 5-4 holds no frames");
        row("convert --window 7 @/mix.pcap @/w7.pcap", 2, "--window needs the first and last frame numbers");
        row("info --window 51-80 @/mix.pcap", 1, "the window 51-80 reaches past the end: \"@/mix.pcap\" holds 60 frame(s)");
        row("convert --window 51-80 @/mix.pcap @/w.pcap", 1, "reaches past the end");
        row("synth --count 0 @/s.nivora", 2, "--count wants a number from 1 to 1000000, not '0'");
        const QString usage = "\nusage: nivora-cli capture -i IFACE|-|PIPE [-f FILTER] [-c COUNT] [-w OUT]";
        row("capture -c 3", 2, "-i names the adapter (see nivora-cli interfaces)" + usage);
        row("capture -i lo -c 0", 2, "-c takes a whole number of frames from 1 up, not '0'" + usage);
        row("capture -i lo -x", 2, "unknown option '-x'");
        row("capture -i lo -w", 2, "-w needs a value");
        row("capture -i lo -w @/out.txt", 2, "must end in .nivora");
        row("capture -i lo -f udp(", 2, "The capture filter is not valid: can't parse filter expression");
        row("capture -i nivora-gone0", 1, "Cannot capture on nivora-gone0: ");
        row("capture -i lo -w @/missing/out.pcap", 1, "Cannot write \"@/missing/out.pcap\": No such file");
        row("info @/pipe", 1, "Cannot open \"@/pipe\": not a regular file");   // at once, not waiting for a writer
        row("convert @/in.nivora @/pipe.pcap", 1, "Cannot write \"@/pipe.pcap\": not a regular file");
        row("synth --bogus", 2, "usage: nivora-cli synth");
    }
    // Every command's --help (or -h) prints its usage on stdout and succeeds.
    void helpGoesToStdout()
    {
        for (const char* command : {"synth", "info", "fields", "convert", "capture", "interfaces", "render"})
            for (const char* help : {"--help", "-h"}) {
                const CliRun run = runCli({command, help});
                QVERIFY2(run.status == 0 && run.err.isEmpty(), command);
                QVERIFY2(run.out.startsWith("usage: nivora-cli " + QByteArray(command)), run.out.constData());
            }
        QCOMPARE(runCli({"--help"}).status, 0);
    }

    void errorsGoToStderr()
    {
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, says);
        if (line.endsWith("missing/out.pcap")) SKIP_UNLESS_CAPTURE_PERMITTED();   // lo is opened first
        QStringList args = line.replace("@", dir.path()).split(' ');
        const QStringList before = filesIn(dir.path());
        QProcess p;
        if (args.last().startsWith('>')) p.setStandardOutputFile(args.takeLast().mid(1));
        p.start(cliPath(), args);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), status);
        const QString err = p.readAllStandardError();
        QVERIFY2(err.contains(says.replace("@", dir.path())) && !err.contains("Ctrl-C stops"), qPrintable(err));
        QCOMPARE(filesIn(dir.path()), before);
        QCOMPARE(recorded::readFile(path("in.nivora")), input);
    }

    // Ctrl-C, kill or a closed terminal during a write: no file, no temporary file.
    void interruptedWritesLeaveNothing_data()
    {
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << "out.nivora" << SIGINT;
        QTest::newRow("SIGTERM") << "out.pcap" << SIGTERM;
        QTest::newRow("SIGHUP") << "out.nivora" << SIGHUP;
    }
    void interruptedWritesLeaveNothing()
    {
        QFETCH(QString, out);
        QFETCH(int, signal);
        QTemporaryDir own;
        QProcess p;
        p.start(cliPath(), {"synth", "--count", "400000", own.filePath(out)});
        // Signalled as soon as the temporary file is there.
        QVERIFY(waitFor([&] { return !filesIn(own.path()).isEmpty(); }, 20000));
        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);   // ended by the signal, as it should
        QCOMPARE(filesIn(own.path()), QStringList{});
    }

    // -i takes an adapter's number in the interfaces list (listed only for a
    // number), else a name. (Against a fixed list: the system's changes
    // whenever an adapter comes or goes, as a test's TAP adapter does.)
    void adapterPickedByNumberOrName()
    {
        const std::tuple<const char*, const char*, int> cases[] = {   // given, picked, listings
            {"1", "eth0", 1}, {"3", "nivcap0", 1}, {"02", "lo", 1}, {"4", "4", 1}, {"0", "0", 1},
            {"lo", "lo", 0}, {"eth1", "eth1", 0}, {"1234567890", "1234567890", 0}};
        for (const auto& [given, adapter, listings] : cases) {
            int listed = 0;
            const auto list = [&] {
                ++listed;
                return AdapterListing{{{"eth0", ""}, {"lo", ""}, {"nivcap0", ""}}, ""};
            };
            QCOMPARE(adapterNamed(given, list), std::string(adapter));
            QVERIFY2(listed == listings, given);
        }
    }

    // A capture on lo ends after 4 frames with -c 4, or on Ctrl-C, kill or a
    // closed terminal. Its file, a capture or a dataset, holds every frame
    // within a second of its coming. (lo by name: its number changes whenever
    // an adapter comes or goes, as a TAP adapter of a test running beside this one does.)
    void endsAndWritesEveryFrame_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("payloads");
        QTest::addColumn<int>("signal");   // 0: -c 4
        QTest::newRow("-c 4, a fifth frame after") << "count.pcap" << QList<int>{10, 500, 1472, 3000, 20} << 0;
        QTest::newRow("Ctrl-C") << "interrupted.nivora" << QList<int>{100, 1500} << SIGINT;
        QTest::newRow("kill") << "killed.pcap" << QList<int>{3000} << SIGTERM;
        QTest::newRow("terminal closed") << "hangup.nivora" << QList<int>{8, 9} << SIGHUP;
    }
    void endsAndWritesEveryFrame()
    {
        SKIP_UNLESS_CAPTURE_PERMITTED();
        QFETCH(QString, file);
        QFETCH(QList<int>, payloads);
        QFETCH(int, signal);
        QString err;
        const qint64 startedMs = QDateTime::currentMSecsSinceEpoch();
        const QString out = path("written/") + file;
        const QString filter = QString("udp and dst port %1").arg(udp.sinkPort());
        QStringList args{"capture", "-i", "lo", "-f", filter, "-w", out};
        if (!signal) args << "-c" << "4";
        QProcess p;
        p.start(cliPath(), args);
        QVERIFY(waitFor([&] { return (err += p.readAllStandardError()).contains("Ctrl-C stops"); }, 5000));
        const int written = signal ? int(payloads.size()) : 4;
        int bytes = 0;
        for (int i = 0; i < payloads.size(); ++i) {
            QVERIFY(udp.send(payloads[i], uint8_t(i)));
            bytes += i < written ? std::min(42 + payloads[i], 1601) : 0;   // UDP over IPv4, cut to the slot
        }
        const QString holds = QString("packets stored:    %1\nframe bytes:       %2\n").arg(written).arg(bytes);
        const auto fileHoldsThem = [&] { return QString(runCli({"info", out}).out).contains(holds); };
        if (signal) {   // the frames are in the file while the capture goes on
            QVERIFY(waitFor(fileHoldsThem, 3000));
            ::kill(pid_t(p.processId()), signal);
        }
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        const QString said = p.readAllStandardOutput(), n = QString::number(written);
        QVERIFY2(said.startsWith(n + " frame(s) received, 0 dropped\nwrote " + n), qPrintable(said));
        QVERIFY(fileHoldsThem());
        if (file.endsWith(".nivora")) return;
        // A capture file keeps the length on the wire, 3042 bytes, of a frame cut to the slot.
        const QStringList stamps = recorded::stampsIn(out);
        QVERIFY(stamps.value(written - 1).endsWith(" 3042"));
        // and the kernel's stamps, to the microsecond: in order, within the test's span.
        const double started = startedMs / 1e3 - 1e-3, ended = QDateTime::currentMSecsSinceEpoch() / 1e3 + 1e-3;
        for (int k = 0; k < stamps.size(); ++k) {
            const double t = stamps[k].section(' ', 0, 0).toDouble();
            QVERIFY2(t >= started && t <= ended && (k == 0 || t >= stamps[k - 1].section(' ', 0, 0).toDouble()),
                     qPrintable(stamps.join(", ")));
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
