// The field views. Parallel coordinate plot: the axes and their number,
// labels at the bottom edge and on the last axis. Scatter plot: where a
// packet's disc and label land. Combined view: the histories moving outwards
// once per quantum, its labels, resizes and three screenshot files. And the
// three thumbnails.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTest>

#include "app/frmMain.h"
#include "core/accessors.h"
#include "platform/SpinButton.h"
#include "support/frames.h"
#include "vis/frmVis3.h"
#include "vis/frmVis5.h"
#include "vis/frmVis6.h"
#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

namespace {
constexpr ColorRef kGreen = rgb(0, 255, 0);   // TCP's colour and every thumbnail's
constexpr ColorRef kBlack = rgb(0, 0, 0);

// A packet of 61 bytes (60 stored) to port `port` from address `prefix`.0.1
// (its first two octets), stored as the dispatch would.
PacketToDraw packet(int protocol, int port = 0, int prefix = 0x0A00)
{
    std::vector<uint8_t> frame = frames::ipv4(61, uint8_t(protocol), 1000, uint16_t(port));
    frame[26] = uint8_t(prefix >> 8);
    frame[27] = uint8_t(prefix);
    const int32_t n = addPacket(frame.data(), int(frame.size()) - 1);
    return {n, packetBytesOf(n), int(frame.size()), nullptr};
}

// Pixels of colour c inside box (clipped to the picture).
int pixelsOf(const PictureSurface& pic, ColorRef c, QRect box = QRect(0, 0, 1 << 20, 1 << 20))
{
    box = box.intersected(pic.image().rect());
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) count += pic.point(x, y) == c;
    return count;
}

bool blank(const PictureSurface& p) { return pixelsOf(p, kBlack) == p.scaleWidth() * p.scaleHeight(); }
}

class TestFieldViews : public QObject {
    Q_OBJECT
    FrmVis3* parallel = nullptr;
    FrmVis5* scatter = nullptr;
    FrmVis6* combined = nullptr;

    // The combined view blank at the start of a quantum of 1.
    void startAQuantum()
    {
        combined->spnBuckets->setValue(1);
        combined->Plot(packet(6));
        combined->clear();
    }

private slots:
    void initTestCase()
    {
        frmMain()->show();
        parallel = frmVis3();
        scatter = frmVis5();
        combined = frmVis6();
        for (QWidget* view : std::initializer_list<QWidget*>{parallel, scatter, combined}) view->show();
    }

    // Two parallel axes on their first fields, 400 x 300; the scatter plot
    // 600 x 300; the combined view at the start of a quantum of 1, blank.
    void init()
    {
        parallel->spnNumAxes->setValue(2);
        for (int i = 0; i < ParallelPlot::kMaxAxes; ++i) parallel->comboAxis[size_t(i)]->setCurrentIndex(i);
        parallel->resize(400, 300 + parallel->height() - parallel->picGraph->height());
        scatter->resize(scatter->picGraph->x() + 600, 300 + scatter->height() - scatter->picGraph->height());
        startAQuantum();
    }

    // Each field view's "labels" box, ticked at first: unticked, the marks are
    // drawn without their text (no white ink), ticked again, with it.
    void labelsCanBeLeftOut()
    {
        for (VisForm* view : std::initializer_list<VisForm*>{parallel, scatter, combined}) {
            auto* labels = view->findChild<QCheckBox*>("chkLabels");
            QVERIFY2(labels && labels->isChecked() && labels->isVisible(), view->objectName().toLatin1());
            PictureSurface* graph = view->findChild<PictureSurface*>("picGraph");
            for (const bool on : {false, true}) {
                labels->setChecked(on);
                view->clear();
                static_cast<VisWindow*>(view)->Plot(packet(6, 80));
                QCOMPARE(pixelsOf(*graph, rgb(255, 255, 255)) > 0, on);
            }
            view->clear();
        }
    }

    // Every field list shows its longest entry whole, and no two lists cover
    // each other: at many axes the parallel plot's go on two rows.
    void listsShowTheirEntriesWhole()
    {
        for (int axes : {2, 5, 17}) {
            parallel->spnNumAxes->setValue(axes);
            for (VisForm* view : std::initializer_list<VisForm*>{parallel, scatter, combined}) {
                QList<QRect> taken;
                for (QComboBox* list : view->findChildren<QComboBox*>()) {
                    if (!list->isVisible()) continue;
                    QVERIFY2(list->width() >= list->sizeHint().width(), qPrintable(list->objectName()));
                    QVERIFY2(view->rect().contains(list->geometry()), qPrintable(list->objectName()));
                    for (const QRect& other : taken) QVERIFY2(!other.intersects(list->geometry()), qPrintable(list->objectName()));
                    taken << list->geometry();
                }
            }
        }
    }

    // The axes spread evenly; a fresh layout draws only the interior axes,
    // grey from top to bottom (a second row of lists may take some of the
    // picture's height), with a list under every axis. A clear erases the
    // polylines and their labels, and draws the axes again.
    void axesSpreadEvenly()
    {
        for (const QList<int>& xs : {QList<int>{0, 400}, QList<int>{0, 200, 400}, QList<int>{0, 133, 267, 400}}) {   // 133.33, 266.67
            const int axes = int(xs.size());
            parallel->spnNumAxes->setValue(axes);
            const int h = parallel->picGraph->height();
            for (int i = 1; i <= axes; ++i) {
                QCOMPARE(parallel->plot().axisX(i), xs[i - 1]);
                QCOMPARE(pixelsOf(*parallel->picGraph, kLabelShadow, QRect(xs[i - 1], 0, 1, h)), h * (i > 1 && i < axes));
            }
            QVERIFY(parallel->comboAxis[size_t(axes - 1)]->isVisible());
            parallel->Plot(packet(6));
            parallel->clear();
            QCOMPARE(pixelsOf(*parallel->picGraph, kLabelShadow), h * (axes - 2));
            QCOMPARE(pixelsOf(*parallel->picGraph, rgb(255, 255, 255)), 0);
        }
    }

    void spinStaysWithinItsLimits()
    {
        parallel->spnNumAxes->setValue(18);
        QCOMPARE(parallel->lblNumAxes->text(), QString("17"));
        // Up at the top changes nothing, so nothing is laid out afresh and erased.
        parallel->Plot(packet(6));
        parallel->spnNumAxes->setValue(18);
        QVERIFY(pixelsOf(*parallel->picGraph, kGreen) > 0);
    }

    void labelsAtTheEdges()
    {
        // Axis 1: fragment offset 0 at the bottom edge; axis 2: the protocol's keyword.
        parallel->comboAxis[0]->setCurrentIndex(16);
        parallel->Plot(packet(6));
        const AxisMark &bottom = parallel->plot().lastMark(1), &last = parallel->plot().lastMark(2);
        QCOMPARE(std::pair(bottom.y, bottom.label), std::pair(300, QString("0")));
        QCOMPARE(std::pair(last.y, last.label), std::pair(293, QString("TCP")));   // 300 - 300 * 6 / 256
        // Both lifted by one text height; the last ends at the right edge, each character as wide as "A".
        const int wA = parallel->picGraph->textWidth("A"), hA = parallel->picGraph->textHeight("A");
        QVERIFY(pixelsOf(*parallel->picGraph, kLabelInk, QRect(0, 300 - hA, wA + 1, hA)) > 0);
        const QRect lastBox(400 - 3 * wA, 293 - hA, 3 * wA, hA);
        QVERIFY(pixelsOf(*parallel->picGraph, kLabelInk, lastBox) > 0);
        QCOMPARE(pixelsOf(*parallel->picGraph, kLabelInk, lastBox.translated(-3 * wA, 0)), 0);
    }

    void shadowStaysWithItsLiftedLabel()
    {
        // Protocol hA + 1 on a 256-pixel axis lands one pixel above where labels are lifted:
        // the text stays, and so does its shadow.
        const int wA = parallel->picGraph->textWidth("A"), hA = parallel->picGraph->textHeight("A");
        parallel->resize(400, 256 + parallel->height() - parallel->picGraph->height());
        parallel->comboAxis[0]->setCurrentIndex(1);
        parallel->Plot(packet(hA + 1));
        const int y = parallel->plot().lastMark(1).y;
        QCOMPARE(y, 256 - hA - 1);
        QVERIFY(pixelsOf(*parallel->picGraph, kLabelInk, QRect(0, y, 3 * wA, hA)) > 0);
        QCOMPARE(pixelsOf(*parallel->picGraph, kBlack, QRect(0, y - hA, 400, hA)), 400 * hA);
    }

    // Where the disc lands and its label, horizontal value first; the label
    // in white, then its grey copy one pixel down: its lowest inked row is all
    // shadow. A clear and a resize erase.
    void pointAndLabel()
    {
        // Stored length 60 at 300 - 300 * 60 / 1518 = 288.14; protocol 6 at 600 * 6 / 256 = 14.06;
        // 10.0.0.1: 2560 of 65536 -> 288.28; TTL 64 of 256 -> 150. Field -1: no selection.
        const std::tuple<int, int, QPoint, QString> rows[] = {
            {0, 1, QPoint(14, 288), "6,60"}, {2, 4, QPoint(150, 288), "64,10.0.0.1"}, {-1, 0, QPoint(24, 0), "60,"}};
        const PictureSurface& pic = *scatter->picGraph;
        for (const auto& [vertical, horizontal, point, label] : rows) {
            scatter->clear();
            scatter->comboAxis[0]->setCurrentIndex(vertical);
            scatter->comboAxis[1]->setCurrentIndex(horizontal);
            scatter->Plot(packet(6));
            QCOMPARE(std::pair(scatter->plot().lastPoint(), scatter->plot().lastLabel()), std::pair(point, label));
            QCOMPARE(pic.point(point.x() - 2, point.y()), kGreen);   // the disc's left edge
            const QRect box(point, QSize(pic.textWidth(label) + 2, pic.textHeight() + 2));
            QVERIFY(pixelsOf(pic, kLabelInk, box) > 0);
            int lowest = box.top();
            for (int y = box.top(); y <= box.bottom(); ++y)
                if (pixelsOf(pic, kBlack, QRect(box.x(), y, box.width(), 1)) < box.width()) lowest = y;
            QVERIFY(lowest > box.top() + 1);
            for (int x = box.left(); x <= box.right(); ++x) QVERIFY(redOf(pic.point(x, lowest)) <= 64);
        }
        scatter->clear();
        QVERIFY(blank(pic));
        scatter->Plot(packet(6));
        scatter->resize(scatter->width() + 10, scatter->height());
        QVERIFY(blank(pic));
    }

    // Packets at `size` a quantum, from the fourth on at `later`: the first
    // packet's dots move outwards 3 pixels left and 2 right at every quantum's
    // end; the last quantum's dots stand in the inner column of each side.
    void historiesMoveOncePerQuantum()
    {
        const PictureSurface &left = *combined->picgraphLeftFront, &right = *combined->picgraphRightFront;
        const int w = left.scaleWidth(), h = left.scaleHeight();
        // size, later, packets, moves, inner
        const int rows[][5] = {{1, 1, 5, 4, 1}, {5, 5, 5, 0, 5}, {5, 2, 4, 0, 4}};   // the last: lowered below the count
        for (const auto& [size, later, packets, moves, inner] : rows) {
            startAQuantum();
            combined->spnBuckets->setValue(size);
            for (int i = 0; i < packets; ++i) {
                if (i == 3) combined->spnBuckets->setValue(later);
                combined->Plot(packet(6, 0x8000 + i * 0x1000, 0x0A00 + i * 0x1000));
            }
            QCOMPARE(left.point(w - 2 - 3 * moves, roundHalfEven(scaleRange(0x0A00, 65536, h))), kGreen);
            QCOMPARE(right.point(1 + 2 * moves, roundHalfEven(scaleRange(0x8000, 65536, h))), kGreen);
            QCOMPARE(pixelsOf(left, kGreen, QRect(w - 2, 0, 1, h)), inner);
            QCOMPARE(pixelsOf(right, kGreen, QRect(1, 0, 1, h)), inner);
        }
    }

    // The central plot labels the protocol in decimal; a resize erases, puts the
    // lists back on "Source IP" and "TCP Dest Port", and the quantum goes on.
    void resizeResetsTheListsButNotTheCount()
    {
        combined->spnBuckets->setValue(5);
        combined->comboAxis[0]->setCurrentIndex(1);
        combined->comboAxis[1]->setCurrentIndex(-1);
        combined->Plot(packet(6));
        QCOMPARE(combined->view().lastMark(1).label, QString("6"));
        combined->resize(combined->width() + 30, combined->height() + 20);
        QCOMPARE(combined->comboAxis[0]->currentText(), QString("Source IP"));
        QCOMPARE(combined->comboAxis[1]->currentText(), QString("TCP Dest Port"));
        QVERIFY(blank(*combined->picGraph) && blank(*combined->picgraphLeftBack));
        QCOMPARE(combined->view().quantumCount(), 1);
    }

    // Each file holds its picture as a BMP; a dot on each side tells left from right.
    void threeScreenshotFiles()
    {
        combined->Plot(packet(6, 0x8000));
        ScreenshotLog log;
        combined->ScreenShot("20261205_152653", log);
        const PictureSurface* const pictures[] = {combined->picgraphLeftFront, combined->picGraph,
                                                  combined->picgraphRightFront};
        for (int i = 0; i < 3; ++i) {
            // Read as a BMP only: a file in any other format reads as no image.
            QCOMPARE(QImage(log.written.value(i), "bmp"), pictures[i]->image());
            QFile::remove(log.written[i]);
        }
    }

    // The hit index. Scatter plot: a disc answers its packet, the last drawn
    // first where discs lie on each other; the blank space between none.
    void discsAnswerTopmostFirst()
    {
        scatter->comboAxis[0]->setCurrentIndex(2);   // "Source IP" up
        scatter->comboAxis[1]->setCurrentIndex(9);   // "TCP Dest Port" across
        const auto draw = [this](int port, int prefix) {
            const PacketToDraw p = packet(6, port, prefix);
            scatter->Plot(p);
            return std::pair{p.number, scatter->plot().lastPoint()};
        };
        const auto [a, at] = draw(0x4000, 0x4000);
        const auto [b, bt] = draw(0xC000, 0xC000);
        const auto [c, ct] = draw(0x4000, 0x4000);
        QCOMPARE(ct, at);
        using Hits = std::vector<int32_t>;
        QCOMPARE(scatter->packetsAt(0, at.x(), at.y(), 0), (Hits{c, a}));
        QCOMPARE(scatter->packetsAt(0, at.x() - ScatterPlot::kRadius, at.y(), 0), (Hits{c, a}));
        QCOMPARE(scatter->packetsAt(0, bt.x(), bt.y() + 1, 0), Hits{b});
        const QPoint between = (at + bt) / 2;
        QCOMPARE(scatter->packetsAt(0, between.x(), between.y(), 3), Hits{});
        scatter->clear();
        QCOMPARE(scatter->packetsAt(0, at.x(), at.y(), 0), Hits{});
    }

    // Parallel plot: a point on a polyline answers its packet, the newest
    // first where two cross; a point near a line answers it within reach only.
    void polylinesAnswerNearestThenNewest()
    {
        parallel->spnNumAxes->setValue(3);
        parallel->comboAxis[0]->setCurrentIndex(2);   // "Source IP"
        parallel->comboAxis[1]->setCurrentIndex(9);   // "TCP Dest Port"
        parallel->comboAxis[2]->setCurrentIndex(2);
        const auto draw = [this](int port, int prefix) {
            const PacketToDraw p = packet(6, port, prefix);
            parallel->Plot(p);
            std::array<QPoint, 3> marks;
            for (int i = 1; i <= 3; ++i) marks[size_t(i - 1)] = {parallel->plot().lastMark(i).x, parallel->plot().lastMark(i).y};
            return std::pair{p.number, marks};
        };
        const auto [a, am] = draw(0x2000, 0x2000);   // low, low, low
        const auto [b, bm] = draw(0xE000, 0x2000);   // low, high, low: shares a's ends
        using Hits = std::vector<int32_t>;
        const QPoint aMiddle = (am[0] + am[1]) / 2, bMiddle = (bm[1] + bm[2]) / 2;
        QCOMPARE(parallel->packetsAt(0, aMiddle.x(), aMiddle.y(), 0), Hits{a});
        QCOMPARE(parallel->packetsAt(0, bMiddle.x(), bMiddle.y(), 0), Hits{b});
        QCOMPARE(parallel->packetsAt(0, am[0].x(), am[0].y(), 0), (Hits{b, a}));   // where both start
        QCOMPARE(parallel->packetsAt(0, aMiddle.x(), aMiddle.y() - 3, 0), Hits{});
        QCOMPARE(parallel->packetsAt(0, aMiddle.x(), aMiddle.y() - 3, 3), Hits{a});
        parallel->spnNumAxes->setValue(4);   // laid out again: erased
        QCOMPARE(parallel->packetsAt(0, aMiddle.x(), aMiddle.y(), 0), Hits{});
    }

    // Combined view: each history's dot answers its packet after the quanta
    // have moved it outwards; a quantum's dots answer once it completes; the
    // central line answers its packet.
    void historyDotsAnswerTheirPacket()
    {
        combined->spnBuckets->setValue(2);
        const int h = combined->picgraphLeftFront->scaleHeight(), w = combined->picgraphLeftFront->scaleWidth();
        std::vector<int32_t> numbers;
        for (int k = 0; k < 7; ++k) {
            const PacketToDraw p = packet(6, 0x1000 * (k + 1), 0x1800 * (k + 1));
            combined->Plot(p);
            numbers.push_back(p.number);
        }
        using Hits = std::vector<int32_t>;
        for (int k = 0; k < 7; ++k) {
            const int q = (5 - k) / 2;   // quanta since packet k's completed; packet 6 waits
            const int yLeft = roundHalfEven(scaleRange(0x1800 * (k + 1), 65536, h));
            const int yRight = roundHalfEven(scaleRange(0x1000 * (k + 1), 65536, h));
            const Hits expected = k == 6 ? Hits{} : Hits{numbers[size_t(k)]};
            QCOMPARE(combined->packetsAt(0, w - 2 - 3 * q, yLeft, 0), expected);
            QCOMPARE(combined->packetsAt(2, 1 + 2 * q, yRight, 0), expected);
        }
        const AxisMark &l = combined->view().lastMark(1), &r = combined->view().lastMark(2);
        const QPoint middle((l.x + r.x) / 2, (l.y + r.y) / 2);
        QCOMPARE(combined->packetsAt(1, middle.x(), middle.y(), 1).front(), numbers.back());
        QCOMPARE(combined->packetsAt(0, w - 2, 0, 0), Hits{});
    }

    // The thumbnails, 81 x 57, of packets from 10.0.0.1: at 57 - 57 * 2560 / 65536 = 54.77.
    void thumbnails()
    {
        PictureSurface thumb, back;
        thumb.resize(81, 57);
        back.resize(81, 57);
        // The parallel plot's line ends at the TCP port, or the UDP port when that is 0:
        // level at port 2560, on its way down to (81, 57) when both are 0.
        for (int proto : {6, 17, 1}) {
            thumb.cls();
            viewThumbnail(viewRow(3))->plotThumbnail(packet(proto, proto == 1 ? 0 : 2560), {&thumb, nullptr});
            QCOMPARE(thumb.point(0, 55), kGreen);
            QCOMPARE(pixelsOf(thumb, kGreen, QRect(0, 56, 81, 1)) > 0, proto == 1);
        }
        // The scatter plot's point: the stored length 60 across, 81 * 60 / 1518 = 3.2.
        thumb.cls();
        viewThumbnail(viewRow(5))->plotThumbnail(packet(6), {&thumb, nullptr});
        QCOMPARE(thumb.point(3, 55), kGreen);
        QCOMPARE(pixelsOf(thumb, kGreen), 1);
        // The combined view's strip scrolls two pixels a packet, its buffer erased each time.
        thumb.cls();
        ThumbnailRenderer& strip = *viewThumbnail(viewRow(6));
        strip.plotThumbnail(packet(6), {&thumb, &back});
        for (int k = 1; k <= 3; ++k) strip.plotThumbnail(packet(6, 0, 0xC000), {&thumb, &back});
        QCOMPARE(thumb.point(1 + 2 * 3, 55), kGreen);
        QCOMPARE(pixelsOf(thumb, kGreen), 4);
    }
};

QTEST_MAIN(TestFieldViews)
#include "test_fieldviews.moc"
