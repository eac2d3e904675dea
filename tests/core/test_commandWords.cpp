// Command lines split into words as a shell would, with nothing expanded or
// run; and the last ten kept, newest first.
#include <QTest>

#include "core/commandWords.h"
#include "core/recentCommands.h"

class TestCommandWords : public QObject {
    Q_OBJECT
private slots:
    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("words");   // or the error, after "error: "
        QTest::newRow("blanks") << " ssh\tsensor  tcpdump -U -w - " << QStringList{"ssh", "sensor", "tcpdump", "-U", "-w", "-"};
        QTest::newRow("nothing") << "   " << QStringList{};
        QTest::newRow("single quotes keep all") << "tcpdump 'not port 22 and \"x\" \\ $HOME'"
                                                << QStringList{"tcpdump", "not port 22 and \"x\" \\ $HOME"};
        QTest::newRow("double quotes keep but four escapes") << "echo \"a \\\"b\\\" \\\\ \\$c \\n\""
                                                             << QStringList{"echo", "a \"b\" \\ $c \\n"};
        QTest::newRow("quotes join a word") << "a'b c'\"d\"e" << QStringList{"ab cde"};
        QTest::newRow("empty quotes are a word") << "cmd '' \"\"" << QStringList{"cmd", "", ""};
        QTest::newRow("backslash escapes a blank") << "a\\ b \\'c" << QStringList{"a b", "'c"};
        QTest::newRow("no pipes or redirections") << "cat x | nc > y" << QStringList{"cat", "x", "|", "nc", ">", "y"};
        QTest::newRow("backslash-newline joins") << "a\\\nb" << QStringList{"ab"};
        QTest::newRow("open single quote") << "ssh 'host" << QStringList{"error: the closing ' is missing"};
        QTest::newRow("open double quote") << "ssh \"host" << QStringList{"error: the closing \" is missing"};
        QTest::newRow("escape at the end of a double quote") << "\"a\\" << QStringList{"error: the closing \" is missing"};
        QTest::newRow("trailing backslash") << "ssh \\" << QStringList{"error: the line ends with a backslash"};
    }
    void split()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, words);
        const CommandWords split = splitCommandLine(line.toStdString());
        QStringList got;
        for (const std::string& w : split.words) got << QString::fromStdString(w);
        if (!split.error.empty()) got = QStringList{"error: " + QString::fromStdString(split.error)};
        QCOMPARE(got, words);
    }

    void recentCommands()
    {
        QStringList ten;
        for (int k = 1; k <= 10; ++k) ten << QString("cmd %1").arg(k);
        const std::tuple<QStringList, QString, QStringList> cases[] = {   // before, run, after
            {{"b", "ssh a", "c"}, "  ssh a ", {"ssh a", "b", "c"}},   // run again: to the front
            {{"b"}, " \t", {"b"}},   // blank: not kept
            {ten, "new", QStringList{"new"} + ten.mid(0, 9)}};   // the eleventh pushes the oldest out
        for (const auto& [before, run, after] : cases) {
            std::vector<std::string> recent;
            for (const QString& b : before) recent.push_back(b.toStdString());
            QStringList got;
            for (const std::string& c : withRecentCommand(recent, run.toStdString())) got << QString::fromStdString(c);
            QCOMPARE(got, after);
        }
    }
};

QTEST_APPLESS_MAIN(TestCommandWords)
#include "test_commandWords.moc"
