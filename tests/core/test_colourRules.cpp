// Colour rules: the first enabled rule that matches gives the colour, others
// keep their protocol's; the text file, written and read back, with its
// comments, disabled rules and the line of each mistake.
#include <QTest>

#include "core/accessors.h"
#include "core/colourRules.h"
#include "core/modEncodings.h"
#include "support/frames.h"

namespace {
constexpr ColorRef kGreen = rgb(0, 192, 0), kRed = rgb(255, 0, 0);

ColourRule rule(const char* text, ColorRef colour, bool enabled = true)
{
    std::string error;
    return ColourRule{enabled, colour, *FilterExpression::compile(text, error)};
}
int32_t store(const std::vector<uint8_t>& f) { return addPacket(f.data(), int(f.size()) - 1); }
}

class TestColourRules : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setColourRules({}); }

    void firstEnabledMatchingRuleGivesTheColour()
    {
        resetBuffer("startup");
        protocolSettings() = ProtocolSettings{};
        const int32_t tcp = store(frames::ipv4(60, 6, 80, 1234)), udp = store(frames::ipv4(60, 17, 53, 53));
        const int32_t icmp = store(frames::ipv4(60, 1));
        setColourRules({rule("icmp", kRed, false), rule("port 80", kRed), rule("ip", kGreen)});
        QCOMPARE(packetColour(tcp), kRed);
        QCOMPARE(packetColour(udp), kGreen);
        QCOMPARE(packetColour(icmp), kGreen);   // the disabled rule is passed over
        setColourRules({rule("tcp", kGreen)});
        QCOMPARE(packetColour(tcp), kGreen);    // new rules: nothing remembered of the old
        QCOMPARE(packetColour(udp), encodingColor(17));
        protocolSettings().color(ProtocolClass::Udp) = rgb(1, 2, 3);
        QCOMPARE(packetColour(udp), rgb(1, 2, 3));   // a protocol colour changed since is followed
        store(frames::ipv4(60, 17));
        resetBuffer("startup");
        const int32_t again = store(frames::ipv4(60, 17));   // the same number, another packet
        QCOMPARE(again, tcp);
        QCOMPARE(packetColour(again), rgb(1, 2, 3));
        protocolSettings() = ProtocolSettings{};
    }

    void textRoundTrip()
    {
        const std::vector<ColourRule> rules{rule("net 10.0.0.0/8", kGreen), rule("tcp port 80", kRed, false)};
        const std::string text = colourRulesText(rules);
        QVERIFY(text.find("#00c000 net 10.0.0.0/8\noff #ff0000 tcp port 80\n") != std::string::npos);
        std::vector<ColourRule> read;
        std::string error;
        QVERIFY(parseColourRules(text + "\n# a comment\r\n  #ABCDEF   udp  \r\n", read, error));
        QCOMPARE(colourRulesText(read), text + "#abcdef udp\n");   // the disabled rule and the colour kept
    }

    void mistakesAreToldByLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("no colour") << "#00ff00 tcp\ngreen udp" << "line 2: \"green\" is not a colour as #rrggbb";
        QTest::newRow("short colour") << "#0f0 tcp" << "line 1: \"#0f0\" is not a colour as #rrggbb";
        QTest::newRow("bad expression") << "# rules\n#00ff00 tcp port" << "line 2: can't parse filter expression: syntax error";
    }
    void mistakesAreToldByLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        std::vector<ColourRule> read{rule("ip", kGreen)};
        std::string why;
        QVERIFY(!parseColourRules(text.toStdString(), read, why));
        QVERIFY2(QString::fromStdString(why).startsWith(error), why.c_str());
        QCOMPARE(read.size(), size_t(1));   // what was held is kept
    }
};

QTEST_APPLESS_MAIN(TestColourRules)
#include "test_colourRules.moc"
