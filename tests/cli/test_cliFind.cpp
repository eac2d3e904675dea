// nivora-cli over a whole file: `info --histogram N` counts the matching
// frames in N equal stretches of time, and `--window` chooses frames by time
// (@TIME-@TIME, @TIME+COUNT; local or seconds since 1970) in info, fields,
// convert, render and pick, refusing a dataset, which keeps no times, with a clear message.
#include <QTemporaryDir>
#include <QTest>

#include "support/cliRun.h"
#include "support/recordedFiles.h"

class TestCliFind : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString capture, dataset;   // 1000 numbered frames; the capture's frame n at 1700000000 + (n - 1) s + (n - 1) µs

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");   // local times of the rows, and of nivora-cli, in one zone
        capture = dir.filePath("numbered.pcap");
        dataset = dir.filePath("numbered.nivora");
        QVERIFY(recorded::writePcap(capture, recorded::numbered(1, 1000)));
        QVERIFY(recorded::writeFile(dataset, recorded::dataset(recorded::numbered(1, 1000))));
    }

    void histogram_data()
    {
        QTest::addColumn<QString>("stretches");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("one stretch") << "1" << "udp[0:2] > 500" << QList<int>{500};
        QTest::newRow("the later half") << "4" << "udp[0:2] > 500" << QList<int>{0, 0, 250, 250};
        QTest::newRow("every frame, no filter") << "2" << "" << QList<int>{500, 500};
        QTest::newRow("no match") << "3" << "tcp" << QList<int>{0, 0, 0};
        QTest::newRow("the first and the last frame") << "10" << "udp[0:2] = 1 or udp[0:2] = 1000"
                                                     << QList<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    }
    void histogram()
    {
        QFETCH(QString, stretches);
        QFETCH(QString, expression);
        QFETCH(QList<int>, counts);
        QStringList words{"info", "--histogram", stretches, capture};
        if (!expression.isEmpty()) words << "--filter" << expression;
        const CliRun r = runCli(words);
        QVERIFY2(r.status == 0, r.err.constData());
        const QList<QByteArray> lines = r.out.split('\n');
        qsizetype head = 0;
        while (head < lines.size() && !lines[head].startsWith("matching by time")) ++head;
        QVERIFY(head + 1 < lines.size());
        QList<int> got;
        for (const QByteArray& line : lines.mid(head + 1))
            if (!line.isEmpty()) got << line.mid(line.lastIndexOf(' ') + 1).toInt();
        QCOMPARE(got, counts);
        QVERIFY(lines[head + 1].startsWith("  2023-11-14 22:13:20.000000 (1700000000.000000000)"));
    }

    void windowByTime_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        QTest::newRow("local times") << QStringList{"info", "--window", "@2023-11-14 22:13:30-@2023-11-14 22:13:40", "IN"}
                                     << 0 << "window:            11 - 20 of 1,000\n";
        QTest::newRow("seconds and a count") << QStringList{"info", "--window", "@1700000010+100", "IN"} << 0
                                             << "window:            11 - 110 of 1,000\n";
        QTest::newRow("to the nanosecond") << QStringList{"info", "--window", "@1700000010.00001+1", "IN"} << 0
                                           << "window:            11 - 11 of 1,000\n";
        QTest::newRow("before the first frame") << QStringList{"info", "--window", "@1699999000+5", "IN"} << 0
                                                << "window:            1 - 5 of 1,000\n";
        QTest::newRow("after the last frame") << QStringList{"info", "--window", "@1700001000+5", "IN"} << 1
                                              << "no frame of";
        QTest::newRow("reversed times") << QStringList{"info", "--window", "@1700000040-@1700000010", "IN"} << 1
                                        << "was captured from";
        QTest::newRow("too many for the store") << QStringList{"info", "--window", "@1700000000+30001", "IN"} << 1
                                                << "at most 30000 fit";
        QTest::newRow("not a time") << QStringList{"info", "--window", "@noon+5", "IN"} << 2 << "is not @TIME-@TIME";
        QTest::newRow("no frames") << QStringList{"info", "--window", "@1700000010+0", "IN"} << 2 << "is not @TIME-@TIME";
        QTest::newRow("a dataset") << QStringList{"info", "--window", "@1700000010+5", "DATASET"} << 1
                                   << "keeps no capture times";
        QTest::newRow("fields") << QStringList{"fields", "--window", "@1700000010+3", "IN"} << 0 << "\n13\t";
        QTest::newRow("convert") << QStringList{"convert", "--window", "@1700000010+3", "IN", "OUT"} << 0
                                 << "wrote 3 frame(s)";
        QTest::newRow("render") << QStringList{"render", "IN", "--out", "OUT", "--window", "@1700000990+20"} << 1
                                << "the window 991-1010 reaches past the end";
        QTest::newRow("pick") << QStringList{"pick", "IN", "--view", "textrainfall", "--at", "0,0", "--window", "@noon+5"}
                              << 2 << "is not @TIME-@TIME";
        QTest::newRow("a dataset for histogram") << QStringList{"info", "--histogram", "3", "DATASET"} << 1
                                                 << "keeps no capture times";
        QTest::newRow("histogram of 0") << QStringList{"info", "--histogram", "0", "IN"} << 2 << "--histogram needs";
    }
    void windowByTime()
    {
        QFETCH(QStringList, words);
        QFETCH(int, status);
        QFETCH(QString, told);
        words.replaceInStrings(QRegularExpression("^IN$"), capture);
        words.replaceInStrings(QRegularExpression("^DATASET$"), dataset);
        words.replaceInStrings(QRegularExpression("^OUT$"), dir.filePath("out.pcap"));
        const CliRun r = runCli(words);
        QCOMPARE(r.status, status);
        QVERIFY2((status ? r.err : r.out).contains(told.toUtf8()), (r.err + r.out).constData());
    }
};

QTEST_GUILESS_MAIN(TestCliFind)
#include "test_cliFind.moc"
