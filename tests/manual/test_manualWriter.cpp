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
    void roffText()
    {
        const std::pair<const char*, const char*> texts[] = {
            {"--window A-B", "\\-\\-window A\\-B"},   // minus signs
            {"a\\b", "a\\eb"},   // a backslash
            {".nivora files", "\\&.nivora files"},   // a dot starting a line
            {"one\n'two'", "one\n\\&'two'"},   // a quote starting a later line
            {"a .pcap file.", "a .pcap file."}};   // a dot inside a line
        for (const auto& [text, roff] : texts) QCOMPARE(q(::roffText(text)), QString(roff));
    }

    void optionTag()
    {
        const std::pair<const char*, const char*> options[] = {
            {"--labels", "\\fB\\-\\-labels\\fR"},
            {"-i IFACE", "\\fB\\-i\\fR \\fIIFACE\\fR"},
            {"-h, --help", "\\fB\\-h\\fR, \\fB\\-\\-help\\fR"},
            {"--window A-B", "\\fB\\-\\-window\\fR \\fIA\\-B\\fR"}};
        for (const auto& [option, tag] : options) QCOMPARE(q(roffOptionTag(option)), QString(tag));
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

    void usageArguments()
    {
        const std::pair<const char*, QStringList> usages[] = {
            {"convert [--window A-B] IN OUT", {"IN", "OUT"}},
            {"render FILE --out DIR [--size WxH]...", {"FILE"}},   // option values skipped
            {"capture -i IFACE [-f FILTER]", {}},
            {"x [--a [B]] FILE", {"FILE"}},                        // nested brackets
            {"interfaces", {}}};
        for (const auto& [usage, arguments] : usages) {
            QStringList got;
            for (const std::string& a : ::usageArguments(usage)) got << q(a);
            QCOMPARE(got, arguments);
        }
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
