// nivora-cli render: the program's windows draw a file headless and leave
// their pictures, the thumbnails and a manifest in a folder.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "support/cliRun.h"
#include "support/recordedFiles.h"

class TestRender : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Draws the 30 packets of mix.nivora into the folder `out`.
    CliRun render(const QString& out, const QString& options)
    {
        const QStringList words{"render", dir.filePath("mix.nivora"), "--out", dir.filePath(out)};
        return runCli(words + options.split(' '));
    }

private slots:
    void initTestCase()
    {
        std::vector<recorded::Frame> traffic;   // TCP, UDP and ICMP in turn, of growing sizes
        for (int n = 0; n < 30; ++n)
            traffic.push_back(frames::ipv4(60 + 40 * n, uint8_t(n % 3 == 0 ? 6 : n % 3 == 1 ? 17 : 1)));
        QVERIFY(recorded::writeFile(dir.filePath("mix.nivora"), recorded::dataset(traffic)));
        // Frames 11..30 of it, on their own.
        QVERIFY(recorded::writeFile(dir.filePath("tail.nivora"), recorded::dataset({traffic.begin() + 10, traffic.end()})));
    }

    // A window of the file draws the very pictures its frames draw on their own;
    // a window past the file's end draws nothing and says where the file ends.
    void aWindowDrawsItsFrames()
    {
        QCOMPARE(render("window", "--window 11-30").status, 0);
        QCOMPARE(runCli({"render", dir.filePath("tail.nivora"), "--out", dir.filePath("tail")}).status, 0);
        for (const char* picture : {"textrainfall.bmp", "parallelcoord.bmp", "thumb2.bmp", "thumb5.bmp"}) {
            const QImage window(dir.filePath("window/") + picture), alone(dir.filePath("tail/") + picture);
            QVERIFY2(!window.isNull() && window == alone, picture);
        }
        const CliRun past = render("past", "--window 25-40");
        QCOMPARE(past.status, 1);
        QVERIFY2(QString(past.err).contains("the window 25-40 reaches past the end"), past.err.constData());
        QVERIFY(!QFile::exists(dir.filePath("past/manifest.json")));
    }

    // Every file the manifest names is there at its size, drawn from the packets
    // the settings leave: hiding TCP through the filters window leaves 20 of the 30.
    void settingsChangeThePictures()
    {
        QCOMPARE(render("udp", "--size 420x360 --format png --set frmEncodings.tglTCP=true").status, 0);
        const QByteArray json = recorded::readFile(dir.filePath("udp/manifest.json"));
        const QJsonObject manifest = QJsonDocument::fromJson(json).object();
        QCOMPARE(manifest["packets"].toInt(), 20);
        QStringList names;
        for (const QJsonValue& v : manifest["files"].toArray()) {
            const QJsonObject f = v.toObject();
            names << f["file"].toString();
            const QSize size(f["width"].toInt(), f["height"].toInt());
            QCOMPARE(QImage(dir.filePath("udp/" + names.last())).size(), size);
            QCOMPARE(f["packets"].toInt(), 20);
        }
        QVERIFY(names.contains("thumb1.png") && names.contains("thumb6.png"));
        QCOMPARE(QImage(dir.filePath("udp/textrainfall.png")).width(), 420);

        // The same packets, up to the last, in hex instead of text.
        QCOMPARE(render("ascii", "--range 11-30").status, 0);
        QCOMPARE(render("hex", "--range 11-30 --set frmVis1.cmbVisMode=hex").status, 0);
        const QImage ascii(dir.filePath("ascii/textrainfall.bmp")), hex(dir.filePath("hex/textrainfall.bmp"));
        QVERIFY(!ascii.isNull() && ascii.size() == hex.size() && ascii != hex);
    }

    // Refused with a message naming the bad part, before anything is written.
    void mistakesAreNamed_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("window") << "--set frmVis9.x=1" << "unknown window 'frmVis9'";
        QTest::newRow("control") << "--set frmVis1.cmbNope=hex" << "frmVis1 has no control 'cmbNope'";
        QTest::newRow("entry") << "--set frmVis1.cmbVisMode=Hex" << "'Hex' is not a value of frmVis1.cmbVisMode";
        QTest::newRow("toggle") << "--set frmVis1.tglEther=yes" << "frmVis1.tglEther (true or false)";
        QTest::newRow("spin") << "--set frmVis1.spnLength=10" << "(a number from 1 to 9)";
        QTest::newRow("form") << "--set frmVis1" << "'frmVis1' is not WINDOW.CONTROL=VALUE";
        QTest::newRow("range") << "--range 5-31" << "--range 5-31 goes past the last packet, 30";
        QTest::newRow("size") << "--size 0x10" << "--size '0x10' is not WIDTHxHEIGHT";
        QTest::newRow("wide window") << "--window 1-30001" << "the window 1-30001 holds 30001 frames; at most 30000 fit the store";
        QTest::newRow("no window") << "--window 1to5" << "--window '1to5' is not FIRST-LAST";
    }
    void mistakesAreNamed()
    {
        QFETCH(QString, options);
        QFETCH(QString, message);
        const CliRun r = render("bad", options);
        QCOMPARE(r.status, 2);
        QVERIFY2(QString(r.err).contains(message), r.err.constData());
        QVERIFY(!QFile::exists(dir.filePath("bad/manifest.json")));
    }
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
