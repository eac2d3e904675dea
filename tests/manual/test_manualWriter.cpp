// The pieces that turn the option tables into manual pages and completion:
// roff escaping (a page that prints what was written), option tags, the
// aligned --help table, and which words of a usage line are arguments.
#include <QtTest>

#include "cli/cliCommand.h"
#include "manual/bashCompletion.h"
#include "manual/roffPage.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}

class TestManualWriter : public QObject {
    Q_OBJECT

private slots:
    void roffText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("roff");
        QTest::newRow("minus signs") << "--window A-B" << "\\-\\-window A\\-B";
        QTest::newRow("backslash") << "a\\b" << "a\\eb";
        QTest::newRow("dot starting a line") << ".nivora files" << "\\&.nivora files";
        QTest::newRow("quote starting a later line") << "one\n'two'" << "one\n\\&'two'";
        QTest::newRow("dot inside a line") << "a .pcap file." << "a .pcap file.";
    }
    void roffText()
    {
        QFETCH(QString, text);
        QFETCH(QString, roff);
        QCOMPARE(q(::roffText(text.toStdString())), roff);
    }

    void optionTag_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("tag");
        QTest::newRow("flag") << "--labels" << "\\fB\\-\\-labels\\fR";
        QTest::newRow("with a value") << "-i IFACE" << "\\fB\\-i\\fR \\fIIFACE\\fR";
        QTest::newRow("two names") << "-h, --help" << "\\fB\\-h\\fR, \\fB\\-\\-help\\fR";
        QTest::newRow("a value with a dash") << "--window A-B" << "\\fB\\-\\-window\\fR \\fIA\\-B\\fR";
    }
    void optionTag()
    {
        QFETCH(QString, option);
        QFETCH(QString, tag);
        QCOMPARE(q(roffOptionTag(option.toStdString())), tag);
    }

    // Each command's section carries its usage and one tagged paragraph an option.
    void commandSections()
    {
        const CliCommand command{"fields", "fields [--labels] FILE", "print the fields", nullptr,
                                 {{"--labels", "labels, not values"}}};
        QCOMPARE(q(roffCommands("nivora-cli", {command})),
                 QString(".SS fields\n.PP\n\\fBnivora\\-cli fields\\fR [\\-\\-labels] FILE\n.PP\nprint the fields.\n"
                         ".TP\n\\fB\\-\\-labels\\fR\nlabels, not values.\n"));
    }

    void templateFilled()
    {
        QCOMPARE(q(fillTemplate("a @X@ b @X@", {{"X", "@X@!"}})), QString("a @X@! b @X@!"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, fillTemplate("a @Y@", {{"X", "x"}}));
        QCOMPARE(q(fillTemplate("mail a@b.example or @ alone", {})), QString("mail a@b.example or @ alone"));
    }

    // Texts line up after the option column; a long option takes a line of its own.
    void helpTable()
    {
        QCOMPARE(q(optionHelpText({})), QString());
        const std::string text = optionHelpText({{"-c COUNT", "stop"}, {"--set WINDOW.CONTROL=VALUE", "set"}});
        QCOMPARE(q(text), QString("options:\n  -c COUNT                  stop\n  --set WINDOW.CONTROL=VALUE\n"
                                  "                            set\n"));
    }

    void usageArguments_data()
    {
        QTest::addColumn<QString>("usage");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("two after an option") << "convert [--window A-B] IN OUT" << QStringList{"IN", "OUT"};
        QTest::newRow("option values skipped") << "render FILE --out DIR [--size WxH]..." << QStringList{"FILE"};
        QTest::newRow("only options") << "capture -i IFACE [-f FILTER]" << QStringList{};
        QTest::newRow("nested brackets") << "x [--a [B]] FILE" << QStringList{"FILE"};
        QTest::newRow("no arguments") << "interfaces" << QStringList{};
    }
    void usageArguments()
    {
        QFETCH(QString, usage);
        QFETCH(QStringList, arguments);
        QStringList got;
        for (const std::string& a : ::usageArguments(usage.toStdString())) got << q(a);
        QCOMPARE(got, arguments);
    }

    // Words the shell would split or expand are never offered.
    void unsafeWordsLeftOut()
    {
        const std::string script =
            cliCompletion({}, {}, {{"textrainfall"}, {"frmVis1.cmbVisMode=", "frmVis1.cmbVisMode=two words", "a'b="}});
        QVERIFY(script.find("'frmVis1.cmbVisMode=' --") != std::string::npos);
        QVERIFY(script.find("two words") == std::string::npos);
        QVERIFY(script.find("a'b") == std::string::npos);
    }
};

QTEST_GUILESS_MAIN(TestManualWriter)
#include "test_manualWriter.moc"
