// The combined view: the histories moving outwards once per quantum, the
// quantum count across changes of its size, clears and resizes, the central
// labels, the three screenshot files and the scrolling thumbnail.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTest>

#include "app/frmMain.h"
#include "core/fieldCatalogue.h"
#include "fieldViewTesting.h"
#include "platform/SpinButton.h"
#include "support/frames.h"
#include "vis/frmVis6.h"
#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

namespace {
constexpr ColorRef kGreen = rgb(0, 255, 0);   // TCP's colour and the thumbnail's

// A TCP packet from the address prefix `prefix` (first two octets) to port `port`.
PacketToDraw tcpPacket(int prefix, int port)
{
    std::vector<uint8_t> frame = frames::ipv4(61, 6, 1000, uint16_t(port));
    frame[26] = uint8_t(prefix >> 8);
    frame[27] = uint8_t(prefix);
    return storedPacket(frame);
}
}

class TestCombined : public QObject {
    Q_OBJECT
    FrmVis6* view = nullptr;
    int width = 0, height = 0;   // of each history

    int yOf(int value) const { return roundHalfEven(scaleRange(value, 65536, height)); }
    int leftDots() const { return pixelsOf(*view->picgraphLeftFront, kGreen); }
    int rightDots() const { return pixelsOf(*view->picgraphRightFront, kGreen); }

private slots:
    void initTestCase()
    {
        frmMain()->show();
        view = frmVis6();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        width = view->picgraphLeftFront->scaleWidth();
        height = view->picgraphLeftFront->scaleHeight();
        QCOMPARE(view->picgraphRightFront->image().size(), QSize(width, height));
        QCOMPARE(view->picGraph->x(), width);
        QCOMPARE(view->picgraphRightFront->x(), width + view->picGraph->width());
    }

    // Every test starts at the beginning of a quantum, on blank pictures.
    void init()
    {
        view->spnBuckets->setValue(1);
        view->Plot(tcpPacket(0, 0));
        view->clear();
        QCOMPARE(view->view().quantumCount(), 0);
    }

    void oneQuantumAPacket_data()
    {
        QTest::addColumn<int>("k");
        QTest::newRow("just drawn") << 0;
        QTest::newRow("1 packet later") << 1;
        QTest::newRow("4 packets later") << 4;
    }
    void oneQuantumAPacket()
    {
        QFETCH(int, k);
        view->Plot(tcpPacket(0x0A00, 0x8000));
        for (int i = 0; i < k; ++i) view->Plot(tcpPacket(0xC000, 0x1000));
        QCOMPARE(view->picgraphLeftFront->point(width - 2 - 3 * k, yOf(0x0A00)), kGreen);
        QCOMPARE(view->picgraphRightFront->point(1 + 2 * k, yOf(0x8000)), kGreen);
        QCOMPARE(leftDots(), k + 1);
        QCOMPARE(rightDots(), k + 1);
        QVERIFY(blank(*view->picgraphLeftBack) && blank(*view->picgraphRightBack));
    }

    void frontsChangeWhenTheQuantumEnds()
    {
        view->spnBuckets->setValue(5);
        QCOMPARE(view->lblBuckets->text(), QString("5"));
        for (int i = 1; i <= 4; ++i) view->Plot(tcpPacket(i * 0x1000, i * 0x2000));
        QVERIFY(blank(*view->picgraphLeftFront) && blank(*view->picgraphRightFront));
        QCOMPARE(view->view().quantumCount(), 4);
        view->Plot(tcpPacket(5 * 0x1000, 5 * 0x2000));
        // Five dots in one column a side.
        QCOMPARE(pixelsOf(*view->picgraphLeftFront, kGreen, QRect(width - 2, 0, 1, height)), 5);
        QCOMPARE(pixelsOf(*view->picgraphRightFront, kGreen, QRect(1, 0, 1, height)), 5);
        QCOMPARE(leftDots() + rightDots(), 10);
        QCOMPARE(view->view().quantumCount(), 0);
    }

    void loweringTheQuantumBelowTheCount()
    {
        view->spnBuckets->setValue(5);
        for (int i = 1; i <= 3; ++i) view->Plot(tcpPacket(i * 0x1000, i * 0x2000));
        view->spnBuckets->setValue(2);
        view->Plot(tcpPacket(0x4000, 0x4000));
        QCOMPARE(leftDots(), 4);
        QCOMPARE(view->view().quantumCount(), 0);
    }

    void resizeResetsTheListsButNotTheCount()
    {
        view->spnBuckets->setValue(5);
        view->Plot(tcpPacket(0x1000, 0x1000));
        view->Plot(tcpPacket(0x2000, 0x2000));
        view->comboAxis[0]->setCurrentIndex(4);
        view->comboAxis[1]->setCurrentIndex(-1);
        view->resize(view->width() + 30, view->height() + 20);
        QCOMPARE(view->comboAxis[0]->currentText(), QString("Source IP"));
        QCOMPARE(view->comboAxis[1]->currentText(), QString("TCP Dest Port"));
        QVERIFY(blank(*view->picGraph) && blank(*view->picgraphLeftBack));
        QCOMPARE(view->view().quantumCount(), 2);
        view->clear();
        QCOMPARE(view->view().quantumCount(), 2);
        view->resize(view->width() - 30, view->height() - 20);
    }

    void centralLabelsInDecimal()
    {
        view->comboAxis[0]->setCurrentIndex(1);
        view->Plot(tcpPacket(0x0A00, 80));
        QCOMPARE(view->view().lastMark(1).label, QString("6"));
        QCOMPARE(view->view().lastMark(2).label, QString("80"));
        const PictureSurface& graph = *view->picGraph;
        const int wA = graph.textWidth("A"), hA = graph.textHeight("A");
        const int y1 = view->view().lastMark(1).y, y2 = view->view().lastMark(2).y;
        // Both labels near the bottom are lifted; the right one ends at the right edge.
        QVERIFY(pixelsOf(graph, rgb(255, 255, 255), QRect(0, y1 - hA, wA, hA)) > 0);
        QVERIFY(pixelsOf(graph, rgb(255, 255, 255), QRect(graph.scaleWidth() - 2 * wA, y2 - hA, 2 * wA, hA)) > 0);
        QCOMPARE(pixelsOf(graph, rgb(255, 255, 255), QRect(graph.scaleWidth() - 4 * wA, y2 - hA, 2 * wA, hA)), 0);
        view->comboAxis[0]->setCurrentIndex(2);
    }

    void threeScreenshotFilesWhenBlank()
    {
        ScreenshotLog log;
        view->ScreenShot("20261205_152653", log);
        QStringList expected;
        for (const char* suffix : {"_combined_left.bmp", "_combined_center.bmp", "_combined_right.bmp"})
            expected << screenshotPath("20261205_152653", suffix);
        QCOMPARE(log.written, expected);
        const PictureSurface* pictures[] = {view->picgraphLeftFront, view->picGraph, view->picgraphRightFront};
        for (int i = 0; i < 3; ++i) {
            QImage saved(expected[i]);
            QFile::remove(expected[i]);
            QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), pictures[i]->image());
        }
    }

    void thumbnailScrollsTwoPixelsAPacket()
    {
        PictureSurface thumb, back;
        thumb.resize(81, 57);
        back.resize(81, 57);
        ThumbnailRenderer& renderer = *viewThumbnail(viewRow(6));
        renderer.plotThumbnail(tcpPacket(0x0A00, 0), {&thumb, &back});
        for (int k = 1; k <= 3; ++k) renderer.plotThumbnail(tcpPacket(0xC000, 0), {&thumb, &back});
        QCOMPARE(thumb.point(1 + 2 * 3, roundHalfEven(scaleRange(0x0A00, 65536, 57))), kGreen);
        QCOMPARE(pixelsOf(thumb, kGreen), 4);
        QVERIFY(blank(back));
    }
};

QTEST_MAIN(TestCombined)
#include "test_combined.moc"
