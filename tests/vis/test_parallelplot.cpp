// The parallel coordinate plot: the axis layout and the number of axes,
// labels at the bottom edge and on the last axis, protocol keywords, and the
// thumbnail's line to the destination port.
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include "app/frmMain.h"
#include "fieldViewTesting.h"
#include "platform/SpinButton.h"
#include "support/frames.h"
#include "vis/frmVis3.h"
#include "vis/viewRegistry.h"

namespace {
constexpr ColorRef kWhite = rgb(255, 255, 255);
}

class TestParallelPlot : public QObject {
    Q_OBJECT
    FrmVis3* view = nullptr;
    int wA = 0, hA = 0;   // the width and height of "A"

    void sizePicture(int w, int h)
    {
        view->resize(w, h + view->height() - view->picGraph->height());
        QCOMPARE(view->picGraph->image().size(), QSize(w, h));
    }

private slots:
    void initTestCase()
    {
        frmMain()->show();
        view = frmVis3();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        wA = view->picGraph->textWidth("A");
        hA = view->picGraph->textHeight("A");
    }

    void init()
    {
        view->spnNumAxes->setValue(2);
        for (int i = 0; i < ParallelPlot::kMaxAxes; ++i) view->comboAxis[size_t(i)]->setCurrentIndex(i);
        sizePicture(400, 300);
    }

    void axesSpreadEvenly_data()
    {
        QTest::addColumn<int>("axes");
        QTest::addColumn<QList<int>>("xs");
        QTest::newRow("2") << 2 << QList<int>{0, 400};
        QTest::newRow("3") << 3 << QList<int>{0, 200, 400};
        QTest::newRow("4") << 4 << QList<int>{0, 133, 267, 400};   // 133.33, 266.67
    }
    void axesSpreadEvenly()
    {
        QFETCH(int, axes);
        QFETCH(QList<int>, xs);
        view->spnNumAxes->setValue(axes);
        QCOMPARE(view->lblNumAxes->text(), QString::number(axes));
        for (int i = 1; i <= axes; ++i) QCOMPARE(view->plot().axisX(i), xs[i - 1]);
        // Only the interior axes are drawn, grey from top to bottom.
        const ColorRef grey = rgb(64, 64, 64);
        QCOMPARE(pixelsOf(*view->picGraph, grey), 300 * (axes - 2));
        for (int i = 2; i < axes; ++i) QCOMPARE(pixelsOf(*view->picGraph, grey, QRect(xs[i - 1], 0, 1, 300)), 300);
        // The first list flush left, the last flush right, the others centred under their axes.
        const int listWidth = view->comboAxis[0]->width();
        QCOMPARE(view->comboAxis[0]->x(), 0);
        QCOMPARE(view->comboAxis[size_t(axes - 1)]->x(), 400 - listWidth - 7);
        for (int i = 2; i < axes; ++i) QCOMPARE(view->comboAxis[size_t(i - 1)]->x(), xs[i - 1] - listWidth / 2);
        QVERIFY(view->comboAxis[size_t(axes - 1)]->isVisible());
        QVERIFY(!view->comboAxis[size_t(axes)]->isVisible());
    }

    void spinStaysWithinItsLimits()
    {
        view->spnNumAxes->setValue(17);
        view->Plot(storedPacket(frames::ipv4(61, 6)));
        view->spnNumAxes->stepUp();   // no change: the plot stays
        QCOMPARE(view->spnNumAxes->value(), 17);
        QVERIFY(pixelsOf(*view->picGraph, kWhite) > 0);
        QVERIFY(view->comboAxis[16]->isVisible());
        view->spnNumAxes->stepDown();   // a change lays out afresh and erases
        QCOMPARE(view->lblNumAxes->text(), QString("16"));
        QCOMPARE(pixelsOf(*view->picGraph, kWhite), 0);
        QVERIFY(!view->comboAxis[16]->isVisible());
        view->spnNumAxes->setValue(1);
        QCOMPARE(view->spnNumAxes->value(), 2);
        QCOMPARE(view->plot().numAxes(), 2);
    }

    void labelsAtTheEdges()
    {
        // Axis 1: fragment offset 0 at the bottom edge; axis 2: the protocol's keyword.
        view->comboAxis[0]->setCurrentIndex(16);
        view->Plot(storedPacket(frames::ipv4(61, 6)));
        const AxisMark& bottom = view->plot().lastMark(1);
        const AxisMark& last = view->plot().lastMark(2);
        QCOMPARE(bottom.y, 300);
        QCOMPARE(bottom.label, QString("0"));
        QCOMPARE(last.y, 293);   // 300 - 300 * 6 / 256 = 292.97
        QCOMPARE(last.label, QString("TCP"));
        // The bottom label lifted by one text height, inside the picture.
        QVERIFY(pixelsOf(*view->picGraph, kWhite, QRect(0, 300 - hA, wA + 1, hA)) > 0);
        // The last label ends at the right edge: three characters as wide as "A", and lifted too.
        const QRect lastBox(400 - 3 * wA, 293 - hA, 3 * wA, hA);
        QVERIFY(pixelsOf(*view->picGraph, kWhite, lastBox) > 0);
        QCOMPARE(pixelsOf(*view->picGraph, kWhite, lastBox.translated(-3 * wA, 0)), 0);

        view->comboAxis[1]->setCurrentIndex(-1);   // no selection: the top, no label
        view->Plot(storedPacket(frames::ipv4(61, 17)));
        QCOMPARE(view->plot().lastMark(2).y, 0);
        QCOMPARE(view->plot().lastMark(2).label, QString());
        view->comboAxis[1]->setCurrentIndex(1);
        view->Plot(storedPacket(frames::ipv4(61, 17)));
        QCOMPARE(view->plot().lastMark(2).label, QString("UDP"));
    }

    void shadowStaysWithItsLiftedLabel()
    {
        // TTL hA + 1 on a 256-pixel axis lands one pixel above where labels are lifted:
        // the text stays, and so does its shadow.
        sizePicture(400, 256);
        view->comboAxis[0]->setCurrentIndex(4);
        view->comboAxis[1]->setCurrentIndex(4);
        std::vector<uint8_t> frame = frames::ipv4(61, 6);
        frame[22] = uint8_t(hA + 1);
        view->Plot(storedPacket(frame));
        const int y = view->plot().lastMark(1).y;
        QCOMPARE(y, 256 - hA - 1);
        QVERIFY(pixelsOf(*view->picGraph, kWhite, QRect(0, y, 3 * wA, hA)) > 0);
        QCOMPARE(pixelsOf(*view->picGraph, rgb(0, 0, 0), QRect(0, y - hA, 400, hA)), 400 * hA);
    }

    void thumbnailEndsAtTheDestinationPort_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("level");   // the port used is 2560, the source's prefix
        QTest::newRow("TCP port") << 6 << true;
        QTest::newRow("UDP port when the TCP port is 0") << 17 << true;
        QTest::newRow("both 0: the bottom edge") << 1 << false;
    }
    void thumbnailEndsAtTheDestinationPort()
    {
        QFETCH(int, protocol);
        QFETCH(bool, level);
        PictureSurface thumb, back;
        thumb.resize(81, 57);
        const PacketToDraw packet = storedPacket(frames::ipv4(61, uint8_t(protocol), 0, protocol == 1 ? 0 : 2560));
        viewThumbnail(viewRow(3))->plotThumbnail(packet, {&thumb, &back});
        // 10.0.0.1 on the left: 57 - 57 * 2560 / 65536 = 54.77.
        QCOMPARE(thumb.point(0, 55), rgb(0, 255, 0));
        QCOMPARE(thumb.point(80, 55) == rgb(0, 255, 0), level);
        QCOMPARE(pixelsOf(thumb, rgb(0, 255, 0), QRect(0, 56, 81, 1)) > 0, !level);   // on its way down to (81, 57)
    }
};

QTEST_MAIN(TestParallelPlot)
#include "test_parallelplot.moc"
