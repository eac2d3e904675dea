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
#include "support/webpFrames.h"

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

    // --animate: every view and the main window as an animation of the
    // pictures after every K packets, ending on the still picture; at most
    // 300 frames when K is not given; 1 frame when nothing is drawn.
    void animationsEndOnTheStillPictures_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("msPerFrame");
        QTest::newRow("every 7, 4 a second") << "--every 7 --fps 4" << 5 << 250;   // 7, 14, 21, 28, 30
        QTest::newRow("every packet") << "--every 1" << 30 << 100;
        QTest::newRow("at most 300 frames") << "" << 30 << 100;
        QTest::newRow("all hidden") << "--set frmEncodings.tglTCP=true --set frmEncodings.tglUDP=true "
                                       "--set frmEncodings.tglICMP=true --every 30" << 1 << 100;
    }
    void animationsEndOnTheStillPictures()
    {
        QFETCH(QString, options);
        QFETCH(int, frames);
        QFETCH(int, msPerFrame);
        const CliRun run = render("animated", ("--size 300x200 --format png --animate " + options).trimmed());
        QVERIFY2(run.status == 0, run.err.constData());
        for (const char* name : {"textrainfall", "scatterplot", "parallelcoord", "mainwindow"}) {
            const webp::Animation a = webp::read(dir.filePath("animated/") + name + ".webp");
            const QImage still = QImage(dir.filePath("animated/") + name + ".png").convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(a.ok, name);
            QCOMPARE(a.frames.size(), frames);
            // libwebp writes a single frame as a still picture, with no duration.
            QCOMPARE(a.timestamps.last(), frames > 1 ? frames * msPerFrame : 0);
            QCOMPARE(a.frames.last().size(), still.size());
            QVERIFY2(a.frames.last() == still, name);
            if (frames > 1) QVERIFY2(a.frames.first() != still, name);   // it moves
        }
    }

    // pick draws as render does and names the packets under a pixel. The 30
    // packets of mix.nivora on a binary rainfall 30 rows and more high: static
    // scroll puts packet k on row k - 1; dynamic scroll the newest on row 1,
    // each older one a row lower. Mistakes and blank pixels are told apart.
    void pickNamesThePackets_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::newRow("static row") << "--view binaryrainfall --at 0,4" << 0 << "5\n";
        QTest::newRow("dynamic row") << "--view binaryrainfall --at 0,5 --set frmVis4.radScroll[1]=true" << 0 << "26\n";
        QTest::newRow("range") << "--view binaryrainfall --at 0,0 --range 11-30" << 0 << "11\n";
        QTest::newRow("blank row") << "--view binaryrainfall --at 0,30" << 1 << "";
        QTest::newRow("outside") << "--view binaryrainfall --at 0,4000" << 2 << "";
        QTest::newRow("unknown view") << "--view detail --at 0,0" << 2 << "";
        QTest::newRow("no point") << "--view scatterplot" << 2 << "";
    }
    void pickNamesThePackets()
    {
        QFETCH(QString, options);
        QFETCH(int, status);
        QFETCH(QString, out);
        const CliRun r = runCli(QStringList{"pick", dir.filePath("mix.nivora"), "--size", "420x360"} + options.split(' '));
        QVERIFY2(r.status == status, r.err.constData());
        QCOMPARE(QString(r.out), out);
        QCOMPARE(r.err.isEmpty(), status == 0);
    }

    // A scatter plot of one packet: the pixel at the middle of its disc in
    // render's picture names that packet.
    void pickFindsTheDiscRenderDrew()
    {
        QCOMPARE(render("one", "--size 420x360 --range 7-7").status, 0);
        const QImage scatter(dir.filePath("one/scatterplot.bmp"));
        QRect disc;
        for (int y = 0; y < scatter.height(); ++y)
            for (int x = 0; x < scatter.width(); ++x)
                if (scatter.pixel(x, y) == qRgb(0, 255, 0)) disc |= QRect(x, y, 1, 1);   // TCP green
        QVERIFY(!disc.isEmpty());
        const QString at = QString("%1,%2").arg(disc.center().x()).arg(disc.center().y());
        const CliRun r = runCli({"pick", dir.filePath("mix.nivora"), "--size", "420x360", "--range", "7-7", "--view",
                                 "scatterplot", "--at", at});
        QCOMPARE(r.status, 0);
        QCOMPARE(QString(r.out), QString("7\n"));
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
        QTest::newRow("no window") << "--window 1to5" << "--window needs the first and last frame numbers of the file";
        QTest::newRow("every 0") << "--animate --every 0" << "--every '0' is not a number of packets from 1 up";
        QTest::newRow("fps 101") << "--animate --fps 101" << "--fps '101' is not a number of frames a second from 1 to 100";
        QTest::newRow("fps alone") << "--fps 5" << "--every and --fps go with --animate";
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
