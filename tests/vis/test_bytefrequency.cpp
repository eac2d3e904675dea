// The byte frequency view: presence and frequency colours at the threshold,
// the threshold strip, static and dynamic scroll, the thumbnail, the read-out.
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <array>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "core/modProcess.h"
#include "platform/PictureSurface.h"
#include "platform/twips.h"
#include "support/frames.h"
#include "vis/frmVis2.h"
#include "vis/viewRegistry.h"

namespace {
constexpr ColorRef kBack = rgb(0, 0, 0), kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255);


// Stores a UDP frame (the view takes the protocol from the store) and plots,
// as the dispatch would, the histogram of `counted`.
void plot(const std::vector<uint8_t>& counted)
{
    const auto frame = frames::ipv4(60, 17);
    const int32_t n = addPacket(frame.data(), int(frame.size()) - 1);
    computeByteFrequency(counted.data(), int(counted.size()));
    frmVis2()->Plot({n, counted.data(), int(counted.size()), &byteFrequency()});
}

bool rowBlank(const PictureSurface* pic, int y)
{
    for (int x = 0; x < pic->scaleWidth(); ++x)
        if (pic->point(x, y) != kBack) return false;
    return true;
}
}

class TestByteFrequency : public QObject {
    Q_OBJECT
    FrmVis2* view = nullptr;
    PictureSurface* pic = nullptr;

    void chooseMode(int index)
    {
        view->cmbVisMode->setCurrentIndex(index);
        emit view->cmbVisMode->activated(index);
    }

private slots:
    void initTestCase()
    {
        frmMain()->show();
        view = frmVis2();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        pic = view->picGraph;
        QCOMPARE(view->lblThreshold->text(), QString("10%"));
    }

    void init()
    {
        chooseMode(0);
        view->radScroll[0]->setChecked(true);
        view->scrThreshold->setValue(500);
        view->clear();
    }

    void presenceLightsEveryOccurringValueInTheProtocolColour()
    {
        plot({0x00, 0x41, 0xFF, 0x41, 0x11});
        for (int x : {0x00, 0x11, 0x41, 0xFF}) QCOMPARE(pic->point(x, 0), rgb(255, 128, 0));
        for (int x : {0x01, 0x40, 0x42, 0xFE}) QCOMPARE(pic->point(x, 0), kBack);
    }

    void frequencyIsRedOnlyAboveTheThreshold_data()
    {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QByteArray>("bytes");   // the bytes counted
        QTest::addColumn<ColorRef>("colourOfA");
        const QByteArray ten(10, 'x'), twenty(20, 'x');
        QTest::newRow("1/10 at 10%: equal is blue") << 500 << ten + "A" << kBlue;
        QTest::newRow("2/10 at 10%") << 500 << ten + "AA" << kRed;
        QTest::newRow("1/20 at 5%: equal is blue") << 250 << twenty + "A" << kBlue;
        QTest::newRow("1/10 at 0%") << 0 << ten + "A" << kRed;
        QTest::newRow("one byte: 1") << 1000 << QByteArray("A") << kRed;
        QTest::newRow("three A: 1.5") << 1000 << QByteArray("AAA") << kRed;
    }
    void frequencyIsRedOnlyAboveTheThreshold()
    {
        QFETCH(int, threshold);
        QFETCH(QByteArray, bytes);
        QFETCH(ColorRef, colourOfA);
        chooseMode(1);
        view->scrThreshold->setValue(threshold);
        plot(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        QCOMPARE(pic->point('A', 0), colourOfA);
        QCOMPARE(pic->point('B', 0), kBack);   // values that do not occur are never drawn
    }

    void thresholdLabel_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("half") << 500 << "10%";
        QTest::newRow("none") << 0 << "0%";
        QTest::newRow("full") << 1000 << "20%";
        QTest::newRow("fraction") << 333 << "6.66%";
        QTest::newRow("one step") << 1 << "0.02%";
    }
    void thresholdLabel()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        view->scrThreshold->setValue(value);
        QCOMPARE(view->lblThreshold->text(), text);
    }

    void thresholdStripComesWithFrequencyMode()
    {
        const int base = view->height();
        for (int mode : {1, 1, 0, 0, 1}) {   // choosing the mode shown changes nothing
            plot({0});
            chooseMode(mode);
            QCOMPARE(view->height(), base + (mode == 1 ? twips(1045) : 0));
            for (QWidget* c : std::initializer_list<QWidget*>{view->lblThreshold, view->lblThresholdMax,
                                                              view->lblThresholdMin, view->lblFrequencyThreshold,
                                                              view->scrThreshold})
                QCOMPARE(c->isVisible(), mode == 1);
            QVERIFY(view->scrThreshold->geometry().bottom() < base + twips(1045));
            QVERIFY(!rowBlank(pic, view->bytes().currentRow() - 1));   // a colour mode does not clear
        }
        chooseMode(0);
    }

    void staticScrollWrapsOnThePictureOverABlankRow()
    {
        const int h = pic->scaleHeight();
        QCOMPARE(QSize(pic->scaleWidth(), h), QSize(258, 420));
        for (int k = 0; k < h + 2; ++k) {
            const int row = view->bytes().currentRow();
            QCOMPARE(row, k % h);
            plot({uint8_t(k % 200 + 1)});
            QCOMPARE(pic->point(k % 200 + 1, row), rgb(255, 128, 0));
            QVERIFY(rowBlank(pic, (row + 1) % h));
        }
    }

    void dynamicScrollKeepsTheNewestOnRowOne()
    {
        view->radScroll[1]->click();
        const int h = pic->scaleHeight();
        for (int k = 1; k <= h + 3; ++k) plot({uint8_t(k % 200 + 1)});
        QVERIFY(rowBlank(pic, 0));
        // Row r holds the packet drawn r - 1 packets ago; packet 4 dropped out at the bottom.
        for (int r = 1; r < h; ++r) QCOMPARE(pic->point((h + 3 - r + 1) % 200 + 1, r), rgb(255, 128, 0));
        QCOMPARE(pic->point(4 + 1, h - 1), kBack);
        plot({0});
        view->radScroll[1]->click();   // the scroll already selected: cleared all the same
        QCOMPARE(pic->point(0, 1), kBack);
    }

    void thumbnailLightsOccurringValuesInGreen()
    {
        auto& thumbnail = static_cast<ByteFrequencyThumbnail&>(*viewThumbnail(viewRow(2)));
        const ThumbnailTarget target = thumbnailTarget(2);
        PictureSurface* thumb = target.picture;
        QCOMPARE(thumb, frmMain()->picVis(2));
        thumbnail.clear(target);
        chooseMode(1);   // whatever the mode
        const auto bytes = frames::bytes({3, 3, 80, 200});
        computeByteFrequency(bytes.data(), 4);
        thumb->line(0, 1, 80, 1, rgb(255, 255, 255));   // the row the next packet erases
        thumbnail.plotThumbnail({1, bytes.data(), 4, &byteFrequency()}, target);
        QCOMPARE(thumb->point(3, 0), rgb(0, 255, 0));
        QCOMPARE(thumb->point(80, 0), rgb(0, 255, 0));   // the last column of 81
        QCOMPARE(thumb->point(4, 0), kBack);
        QCOMPARE(thumb->point(3, 1), kBack);
        for (int k = 1; k < thumb->scaleHeight(); ++k) thumbnail.plotThumbnail({1, bytes.data(), 4, &byteFrequency()}, target);
        QCOMPARE(thumbnail.thumbRow(), 0);
    }

    void readOutNamesTheByteValue_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("tip");
        QTest::newRow("0") << 0 << QString("0  0x0  ") + QChar(0);
        QTest::newRow("65") << 65 << "65  0x41  A";
        QTest::newRow("255") << 255 << QString("255  0xFF  ") + QChar(255);
        QTest::newRow("256: left as it was") << 256 << "65  0x41  A";
    }
    void readOutNamesTheByteValue()
    {
        QFETCH(int, x);
        QFETCH(QString, tip);
        if (x == 256) pic->setToolTip("65  0x41  A");
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 10), pic->mapToGlobal(QPointF(x, 10)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pic, &move);
        QCOMPARE(pic->toolTip(), tip);
        QVERIFY(pic->hasMouseTracking());
    }
};

QTEST_MAIN(TestByteFrequency)
#include "test_bytefrequency.moc"
