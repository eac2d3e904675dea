// The scatter plot: where a packet's disc and label land for chosen fields,
// the thumbnail's point, resizing and clearing.
#include <QComboBox>
#include <QTest>

#include "app/frmMain.h"
#include "core/modEncodings.h"
#include "fieldViewTesting.h"
#include "support/frames.h"
#include "vis/frmVis5.h"
#include "vis/viewRegistry.h"

class TestScatterPlot : public QObject {
    Q_OBJECT
    FrmVis5* view = nullptr;

    void sizePicture(int w, int h)
    {
        view->resize(w + view->picGraph->x(), h + view->height() - view->picGraph->height());
        QCOMPARE(view->picGraph->image().size(), QSize(w, h));
    }

private slots:
    void initTestCase()
    {
        frmMain()->show();
        view = frmVis5();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }

    void init() { sizePicture(600, 300); }

    void pointAndLabel_data()
    {
        QTest::addColumn<int>("vertical");     // field index, -1: no selection
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("flags");        // frame byte 20
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("label");
        // 61 bytes: stored length 60 at 300 - 300 * 60 / 1518 = 288.14; protocol 6 at 600 * 6 / 256 = 14.06.
        QTest::newRow("defaults") << 0 << 1 << 6 << 0x40 << 14 << 288 << "6,60";
        QTest::newRow("protocol in decimal") << 0 << 1 << 17 << 0x40 << 40 << 288 << "17,60";
        // 10.0.0.1: 2560 of 65536 -> 288.28; TTL 64 of 256 -> 150.
        QTest::newRow("horizontal first") << 2 << 4 << 6 << 0x40 << 150 << 288 << "64,10.0.0.1";
        QTest::newRow("DF") << 0 << 15 << 6 << 0x40 << 150 << 288 << "DF,60";
        QTest::newRow("no flag") << 0 << 15 << 6 << 0x00 << 0 << 288 << ",60";
        QTest::newRow("DF and MF, vertical") << 15 << 0 << 6 << 0x60 << 24 << 188 << "60,DFMF";
        QTest::newRow("no selection") << -1 << 0 << 6 << 0x40 << 24 << 0 << "60,";
    }
    void pointAndLabel()
    {
        QFETCH(int, vertical);
        QFETCH(int, horizontal);
        QFETCH(int, protocol);
        QFETCH(int, flags);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QString, label);
        view->comboAxis[0]->setCurrentIndex(vertical);
        view->comboAxis[1]->setCurrentIndex(horizontal);
        std::vector<uint8_t> frame = frames::ipv4(61, uint8_t(protocol));
        frame[20] = uint8_t(flags);
        view->clear();
        view->Plot(storedPacket(frame));

        QCOMPARE(view->plot().lastPoint(), QPoint(x, y));
        QCOMPARE(view->plot().lastLabel(), label);
        // Above its centre (or at the top edge, left of it) the disc is clear of its label.
        const QPoint edge = y >= 2 ? QPoint(x, y - 2) : QPoint(x - 2, y), out = y >= 2 ? QPoint(0, -1) : QPoint(-1, 0);
        QCOMPARE(view->picGraph->point(edge.x(), edge.y()), encodingColor(protocol));
        QCOMPARE(view->picGraph->point(edge.x() + out.x(), edge.y() + out.y()), rgb(0, 0, 0));
        const QRect text(x, y, view->picGraph->textWidth(label) + 2, view->picGraph->textHeight() + 2);
        QVERIFY(pixelsOf(*view->picGraph, rgb(255, 255, 255), text) > 0);
        // The grey copy one pixel down: the label's lowest inked row is all shadow.
        int lowest = text.bottom();
        while (lowest > y && pixelsOf(*view->picGraph, rgb(0, 0, 0), QRect(x, lowest, text.width(), 1)) == text.width())
            --lowest;
        for (int col = x; col <= text.right(); ++col) QVERIFY(redOf(view->picGraph->point(col, lowest)) <= 64);
        QVERIFY(lowest > y + 1);
        view->comboAxis[0]->setCurrentIndex(0);
        view->comboAxis[1]->setCurrentIndex(1);
    }

    void resizeErasesPointsButNotTheThumbnail()
    {
        const ThumbnailTarget thumb = thumbnailTarget(5);
        viewThumbnail(viewRow(5))->clear(thumb);
        const PacketToDraw packet = storedPacket(frames::ipv4(61, 6));
        view->Plot(packet);
        viewThumbnail(viewRow(5))->plotThumbnail(packet, thumb);
        // Source 10.0.0.1 upwards, stored length 60 across, on 81 x 57 pixels.
        QCOMPARE(thumb.picture->image().size(), QSize(81, 57));
        QCOMPARE(thumb.picture->point(3, 55), rgb(0, 255, 0));   // 57 - 2.23, 81 * 60 / 1518 = 3.2
        QCOMPARE(pixelsOf(*thumb.picture, rgb(0, 255, 0)), 1);

        sizePicture(500, 250);
        QVERIFY(blank(*view->picGraph));
        QCOMPARE(thumb.picture->point(3, 55), rgb(0, 255, 0));
        view->resize(10, 10);   // snaps back to 2000 x 3000 twips
        QCOMPARE(view->size(), QSize(133, 200));

        view->Plot(packet);
        view->clear();
        viewThumbnail(viewRow(5))->clear(thumb);
        QVERIFY(blank(*view->picGraph));
        QVERIFY(blank(*thumb.picture));
    }
};

QTEST_MAIN(TestScatterPlot)
#include "test_scatterplot.moc"
