// The byte frequency view: presence and frequency colours at the threshold,
// the threshold strip, static and dynamic scroll, the thumbnail, the read-out.
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <tuple>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "core/modProcess.h"
#include "platform/PictureSurface.h"
#include "platform/twips.h"
#include "support/frames.h"
#include "vis/frmVis2.h"
#include "vis/viewRegistry.h"

namespace {
constexpr ColorRef kBack = rgb(0, 0, 0), kUdp = rgb(255, 128, 0), kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255);

// Stores a UDP frame (the view takes the protocol from the store) and plots,
// as the dispatch would, the histogram of `counted`.
void plot(const QByteArray& counted)
{
    const auto frame = frames::ipv4(60, 17);
    const int32_t n = addPacket(frame.data(), int(frame.size()) - 1);
    const auto* bytes = reinterpret_cast<const uint8_t*>(counted.data());
    computeByteFrequency(bytes, int(counted.size()));
    frmVis2()->Plot({n, bytes, int(counted.size()), &byteFrequency()});
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

    void colourOfAByteValueAndThresholdLabel_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QByteArray>("bytes");   // the bytes counted
        QTest::addColumn<ColorRef>("colourOfA");
        QTest::addColumn<QString>("label");
        const QByteArray ten(10, 'x'), twenty(20, 'x');
        QTest::newRow("presence") << 0 << 500 << QByteArray("xA\xFF") << kUdp << "10%";
        QTest::newRow("1/10 at 10%: equal is blue") << 1 << 500 << ten + "A" << kBlue << "10%";
        QTest::newRow("2/10 at 10%") << 1 << 500 << ten + "AA" << kRed << "10%";
        QTest::newRow("1/20 at 5%: equal is blue") << 1 << 250 << twenty + "A" << kBlue << "5%";
        QTest::newRow("1/10 at 6.66%") << 1 << 333 << ten + "A" << kRed << "6.66%";
        QTest::newRow("1/10 at 0%") << 1 << 0 << ten + "A" << kRed << "0%";
        QTest::newRow("one byte: 1") << 1 << 1000 << QByteArray("A") << kRed << "20%";
        QTest::newRow("three A: 1.5") << 1 << 1000 << QByteArray("AAA") << kRed << "20%";
    }
    void colourOfAByteValueAndThresholdLabel()
    {
        QFETCH(int, mode);
        QFETCH(int, threshold);
        QFETCH(QByteArray, bytes);
        QFETCH(ColorRef, colourOfA);
        QFETCH(QString, label);
        chooseMode(mode);
        view->scrThreshold->setValue(threshold);
        QCOMPARE(view->lblThreshold->text(), label);
        plot(bytes);
        QCOMPARE(pic->point('A', 0), colourOfA);
        QCOMPARE(pic->point('B', 0), kBack);   // values that do not occur are never drawn
        QCOMPARE(pic->point(0xFF, 0), bytes.contains('\xFF') ? kUdp : kBack);
    }

    void thresholdStripComesWithFrequencyModeAndClearsNothing()
    {
        const int base = view->height();
        for (int mode : {1, 1, 0, 0, 1}) {   // choosing the mode shown changes nothing
            plot(QByteArray(1, '\0'));
            chooseMode(mode);
            QCOMPARE(view->height(), base + (mode == 1 ? twips(1045) : 0));
            for (QWidget* c : std::initializer_list<QWidget*>{view->lblThreshold, view->lblThresholdMax,
                                                              view->lblThresholdMin, view->lblFrequencyThreshold,
                                                              view->scrThreshold})
                QCOMPARE(c->isVisible(), mode == 1);
            QVERIFY(view->scrThreshold->geometry().bottom() < base + twips(1045));
            QVERIFY(!rowBlank(pic, view->bytes().currentRow() - 1));
        }
    }

    void staticThenDynamicScroll()
    {
        const int h = pic->scaleHeight();
        QCOMPARE(QSize(pic->scaleWidth(), h), QSize(258, 420));
        for (int k = 0; k < h + 3; ++k) {   // static: wraps on the picture, the next row blank
            const int row = view->bytes().currentRow();
            plot(QByteArray(1, char(k % 200 + 1)));
            QCOMPARE(pic->point(k % 200 + 1, row), kUdp);
            QVERIFY(rowBlank(pic, (row + 1) % h));
        }
        QCOMPARE(view->bytes().currentRow(), 3);
        view->radScroll[1]->click();
        for (int k = 1; k <= h + 3; ++k) plot(QByteArray(1, char(k % 200 + 1)));
        QVERIFY(rowBlank(pic, 0));
        // Row r holds the packet drawn r - 1 packets ago; packet 4 dropped out at the bottom.
        for (int r = 1; r < h; ++r) QCOMPARE(pic->point((h + 3 - r + 1) % 200 + 1, r), kUdp);
        QCOMPARE(pic->point(4 + 1, h - 1), kBack);
        view->radScroll[1]->click();   // the scroll already selected: cleared all the same
        QVERIFY(rowBlank(pic, 1));
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
        // Green at 3 and 80 (the last of 81 columns), whatever the mode; the next row erased.
        for (auto [x, y, c] : {std::tuple{3, 0, rgb(0, 255, 0)}, {80, 0, rgb(0, 255, 0)}, {4, 0, kBack}, {3, 1, kBack}})
            QCOMPARE(thumb->point(x, y), c);
        QCOMPARE(thumbnail.thumbRow(), 1);
    }

    void readOutNamesTheByteValue_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("tip");
        QTest::newRow("0") << 0 << QString("0  0x0  ") + QChar(0);
        QTest::newRow("65") << 65 << "65  0x41  A";
        QTest::newRow("256: left as it was") << 256 << "before";
    }
    void readOutNamesTheByteValue()
    {
        QFETCH(int, x);
        QFETCH(QString, tip);
        pic->setToolTip("before");
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 10), pic->mapToGlobal(QPointF(x, 10)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pic, &move);
        QCOMPARE(pic->toolTip(), tip);
        QVERIFY(pic->hasMouseTracking());
    }
};

QTEST_MAIN(TestByteFrequency)
#include "test_bytefrequency.moc"
