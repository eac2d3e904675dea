// nivora-cli render: the program's windows draw a file headless and leave
// their pictures, the thumbnails and a manifest in a folder.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "support/cliRun.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

namespace {
// TCP, UDP and ICMP in turn, of growing sizes.
std::vector<recorded::Frame> traffic()
{
    std::vector<recorded::Frame> all;
    for (int n = 0; n < 30; ++n)
        all.push_back(frames::ipv4(60 + 40 * n, uint8_t(n % 3 == 0 ? 6 : n % 3 == 1 ? 17 : 1), 1000, 80, 5, uint8_t('a' + n)));
    return all;
}

QJsonObject manifestOf(const QString& dir)
{
    return QJsonDocument::fromJson(recorded::readFile(dir + "/manifest.json")).object();
}
}

class TestRender : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString data;

    CliRun render(const QString& out, const QStringList& more = {})
    {
        return runCli(QStringList{"render", data, "--out", dir.filePath(out)} + more);
    }

private slots:
    void initTestCase()
    {
        data = dir.filePath("mix.nivora");
        QVERIFY(recorded::writeFile(data, recorded::dataset(traffic())));
    }

    void manifestNamesEveryFileAtItsSize()
    {
        const CliRun r = render("plain", {"--size", "420x360"});
        QCOMPARE(r.status, 0);
        const QJsonObject manifest = manifestOf(dir.filePath("plain"));
        QCOMPARE(manifest["packets"].toInt(), 30);
        QStringList names;
        for (const QJsonValue& v : manifest["files"].toArray()) {
            const QJsonObject f = v.toObject();
            names << f["file"].toString();
            const QImage picture(dir.filePath("plain/" + f["file"].toString()));
            QVERIFY2(!picture.isNull(), qPrintable(f["file"].toString()));
            QCOMPARE(picture.size(), QSize(f["width"].toInt(), f["height"].toInt()));
            QCOMPARE(f["packets"].toInt(), 30);
        }
        for (const char* expected : {"textrainfall.bmp", "thumb1.bmp", "thumb6.bmp"})
            QVERIFY2(names.contains(expected), expected);
        QCOMPARE(QImage(dir.filePath("plain/textrainfall.bmp")).width(), 420);
    }

    void settingsChangeThePictures()
    {
        QCOMPARE(render("ascii", {"--range", "1-20"}).status, 0);
        QCOMPARE(render("hex", {"--range", "1-20", "--set", "frmVis1.cmbVisMode=hex"}).status, 0);
        const QImage ascii(dir.filePath("ascii/textrainfall.bmp")), hex(dir.filePath("hex/textrainfall.bmp"));
        QVERIFY(!ascii.isNull() && ascii.size() == hex.size());
        QVERIFY(ascii != hex);

        // Hiding TCP through the filters window leaves 20 of the 30 packets.
        QCOMPARE(render("udp", {"--set", "frmEncodings.tglTCP=true", "--format", "png"}).status, 0);
        QCOMPARE(manifestOf(dir.filePath("udp"))["packets"].toInt(), 20);
        QVERIFY(!QImage(dir.filePath("udp/thumb1.png")).isNull());
    }

    void mistakesAreNamed_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("window") << QStringList{"--set", "frmVis9.x=1"} << "unknown window 'frmVis9'";
        QTest::newRow("control") << QStringList{"--set", "frmVis1.cmbNope=hex"} << "frmVis1 has no control 'cmbNope'";
        QTest::newRow("entry") << QStringList{"--set", "frmVis1.cmbVisMode=Hex"} << "'Hex' is not a value of frmVis1.cmbVisMode";
        QTest::newRow("toggle") << QStringList{"--set", "frmVis1.tglEther=yes"} << "'yes' is not a value of frmVis1.tglEther (true or false)";
        QTest::newRow("spin") << QStringList{"--set", "frmVis1.spnLength=10"} << "(a number from 1 to 9)";
        QTest::newRow("form") << QStringList{"--set", "frmVis1"} << "is not WINDOW.CONTROL=VALUE";
        QTest::newRow("range") << QStringList{"--range", "5-31"} << "goes past the last packet, 30";
        QTest::newRow("size") << QStringList{"--size", "0x10"} << "--size '0x10' is not WIDTHxHEIGHT";
    }
    void mistakesAreNamed()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliRun r = render("bad", args);
        QCOMPARE(r.status, 2);
        QVERIFY2(QString(r.err).contains(message), r.err.constData());
        QVERIFY(!QFile::exists(dir.filePath("bad/manifest.json")));
    }
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
