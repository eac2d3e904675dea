// The byte views: the text rainfall and the detail view spell a packet's
// bytes as text, the binary rainfall draws them as a row of pixels and the
// byte frequency lights the byte values that occur. Each view draws in the
// packet's protocol colour; the three with a thumbnail keep it in green.
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <ctime>
#include <QTextBlock>
#include <QToolButton>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "core/packetComments.h"
#include "core/packetSummary.h"
#include "core/modProcess.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "platform/twips.h"
#include "playback/modVisualize.h"
#include "support/frames.h"
#include "vis/frmVis1.h"
#include "vis/frmVis2.h"
#include "vis/frmVis4.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"

using Colours = std::vector<ColorRef>;

namespace {
constexpr ColorRef kBack = rgb(0, 0, 0), kUdp = rgb(255, 128, 0), kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255);
constexpr ColorRef green(int v) { return rgb(0, v, 0); }
constexpr int kPitch = TextRainfall::kRowPitch;   // the text rainfall's rows

// An IPv4 frame of `size` bytes (at least 34) starting with `lead`; its payload bytes are 0x33.
QByteArray ipFrame(int size, int protocol = 17, const QByteArray& lead = {})
{
    const auto f = frames::ipv4(size, uint8_t(protocol), 0, 0, 5, 0x33);
    return QByteArray(reinterpret_cast<const char*>(f.data()), size).replace(0, lead.size(), lead);
}

// The printable characters 32 + i mod 95 for i = first..last.
QByteArray printable(int first, int last)
{
    QByteArray s;
    for (int i = first; i <= last; ++i) s += char(32 + i % 95);
    return s;
}

// Stores the frame (the views take its protocol from the store) and plots it
// on the view with its histogram, as the dispatch would; as packet -1 the text
// rainfall does not number its line. Returns the packet's number.
int32_t plot(VisWindow& view, const QByteArray& frame, bool numbered = true)
{
    std::array<uint8_t, kSlotBytes> work{};
    std::copy(frame.begin(), frame.end(), work.begin());
    const int32_t n = addPacket(work.data(), int(frame.size()) - 1);
    computeByteFrequency(work.data(), int(frame.size()));
    view.Plot({numbered ? n : -1, work.data(), int(frame.size()), &byteFrequency()});
    return n;
}

Colours pixels(const PictureSurface* pic, int y, int first, int count)
{
    Colours v;
    for (int x = first; x < first + count; ++x) v.push_back(pic->point(x, y));
    return v;
}

// The pixels of the box (clipped to the picture) in colour c; with kNoColor, those not in the back colour.
int pixelsIn(const PictureSurface* pic, QRect box, ColorRef c = PictureSurface::kNoColor)
{
    int n = 0;
    box = box.intersected(pic->image().rect());
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += c == PictureSurface::kNoColor ? pic->point(x, y) != pic->backColor() : pic->point(x, y) == c;
    return n;
}
QRect band(int row) { return QRect(0, row, 1 << 20, kPitch); }
}

class TestByteViews : public QObject {
    Q_OBJECT
    QPointer<FrmVis1> text;
    QPointer<FrmVis7> detail;
    QPointer<FrmVis4> rain;
    QPointer<FrmVis2> bytes;
    int cell = 0;   // the width of a character on the text rainfall

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");   // capture times shown in local time
        ::tzset();
        frmMain()->show();
        cell = frmVis1()->picGraph->textWidth("S");
    }

    // Every test starts from freshly opened views, the text rainfall a hundred characters wide.
    void init()
    {
        for (QWidget* w : std::initializer_list<QWidget*>{text, detail, rain, bytes})
            if (w) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        text = frmVis1();
        detail = frmVis7();
        rain = frmVis4();
        bytes = frmVis2();
        text->resize(100 * cell, 300 + twips(1100));   // the controls take 1100 twips under the picture
        for (QWidget* w : std::initializer_list<QWidget*>{text, detail, rain, bytes}) w->show();
    }

    // The text rainfall.

    void lineOfAPacket_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("strip");
        QTest::addColumn<int>("strings");   // N; 0: strings not shown
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("shown");
        const QByteArray spelled("A\0~\x7F\n\xFF ", 7), full = printable(0, 1513);
        QTest::newRow("ASCII") << 0 << false << 0 << spelled << "A.~... ";
        QTest::newRow("hex") << 1 << false << 0 << spelled << "41  00  7E  7F  0A  FF  20  ";
        QTest::newRow("decimal") << 2 << false << 0 << spelled << "65 0 126 127 10 255 32 ";
        // At most a byte a cell, in every mode.
        const QString hex100 = full.left(100).toHex(' ').toUpper().replace(" ", "  ") + "  ";
        QTest::newRow("1514 bytes, hex") << 1 << false << 0 << full << hex100;
        QTest::newRow("1514 bytes, stripped") << 0 << true << 0 << full << QString(printable(14, 113));
        for (int mode : {0, 1, 2})   // nothing behind the Ethernet header
            QTest::addRow("mode %d, 14 bytes stripped", mode) << mode << true << 0 << full.left(14) << "";
        QTest::newRow("short run skipped") << 0 << false << 3 << QByteArray("ab\0cdef\0", 8) << "cdef";
        QTest::newRow("last byte never counts") << 0 << false << 3 << QByteArray("ab\0cdef", 7) << "cde";
        QTest::newRow("run cut to below N by the end") << 0 << false << 3 << QByteArray("ab\0cde", 6) << "";
        QTest::newRow("tilde ends a string") << 0 << false << 3 << QByteArray("abc~def\0", 8) << "abcdef";
        QTest::newRow("strings run together") << 0 << false << 1 << QByteArray("xy\1uvw\2z\3", 9) << "xyuvwz";
        // The line width is only looked at between strings.
        QTest::newRow("past the width") << 0 << false << 1 << QByteArray(300, 's') + '\0' << QString(300, 's');
    }
    void lineOfAPacket()
    {
        QFETCH(int, mode);
        QFETCH(bool, strip);
        QFETCH(int, strings);
        QFETCH(QByteArray, frame);
        QFETCH(QString, shown);
        text->cmbVisMode->setCurrentIndex(mode);
        text->tglEther->setChecked(strip);
        text->tglPrintASCII->setChecked(strings > 0);
        text->spnLength->setValue(std::max(1, strings));
        plot(*text, frame, false);
        QCOMPARE(text->rain().lastLine(), shown);
        // An empty ASCII line prints nothing and keeps its row; the numbers modes move on.
        QCOMPARE(text->rain().currentRow(), shown.isEmpty() && mode == 0 ? 0 : kPitch);
        // A hundred characters reach the picture's last cell.
        const int lastCell = pixelsIn(text->picGraph, QRect(99 * cell, 0, cell, kPitch));
        if (mode == 0) QCOMPARE(lastCell > 0, shown.size() >= 100);
    }

    // Each line is numbered and drawn in its protocol colour; the band under the
    // newest is blank, and a row that would be cut off starts again at the top.
    void rowsRainDownOverABlankBandAndWrap()
    {
        text->resize(40 * cell, 127 + twips(1100));   // rows 0, 15, ..., 105; a row at 120 would be cut off
        for (int k = 0; k < 12; ++k) {
            QCOMPARE(text->rain().currentRow(), k % 8 * kPitch);
            plot(*text, ipFrame(60));
            QVERIFY(text->rain().lastLine().startsWith(QString("<%1>  ").arg(getPacketCount())));
            QVERIFY(pixelsIn(text->picGraph, band(k % 8 * kPitch), kUdp) > 0);
            QCOMPARE(pixelsIn(text->picGraph, band((k + 1) % 8 * kPitch)), 0);
        }
    }

    // Packet numbers past 2^31 (a long capture) reach the views whole; a
    // commented packet's number is marked with a star.
    void packetNumbersPastTwoToThe31AndCommentStars()
    {
        store_detail::packetCount = int64_t(INT32_MAX);
        store_detail::writeSlot = packetSlot(store_detail::packetCount);
        const QByteArray frame = ipFrame(60);
        addPacket(reinterpret_cast<const uint8_t*>(frame.constData()), int(frame.size()) - 1);
        const int64_t n = getPacketCount();
        for (const char* prefix : {"<2147483648*>  ", "<2147483648>  "}) {
            setPacketComments(n, prefix[11] == '*' ? FrameComments{"marked"} : FrameComments{});
            displayPackets(n, n);
            QVERIFY2(text->rain().lastLine().startsWith(prefix), qPrintable(text->rain().lastLine()));
        }
        resetBuffer("startup");
    }

    // Closing the view does not stop its thumbnail; clearing the views restarts it.
    // A closed view waits for its deletion until a long load or range returns
    // to the event loop: its pictures give their memory back at once.
    void closingTheViewGivesBackItsPicturesAndKeepsItsThumbnail()
    {
        auto& thumbnail = static_cast<TextRainfallThumbnail&>(*viewThumbnail(viewRow(1)));
        PictureSurface* thumb = thumbnailTarget(1).picture;
        clearVisualizations();
        text->close();
        for (const PictureSurface* picture : text->findChildren<PictureSurface*>())
            QCOMPARE(picture->image().size(), QSize(1, 1));
        addPacket(reinterpret_cast<const uint8_t*>(printable(0, 59).data()), 59);
        displayPackets(getPacketCount(), getPacketCount());
        QVERIFY(pixelsIn(thumb, QRect(0, 0, thumb->scaleWidth(), 1)) > 0);
        clearVisualizations();
        QCOMPARE(thumbnail.thumbRow(), 0);
        QCOMPARE(pixelsIn(thumb, thumb->rect()), 0);
    }

    // A double click selects the next mode; a new mode, the mode shown picked
    // again, a new scroll and a new size each start the view afresh; a
    // highlight does not.
    void choicesStartTheViewAfresh()
    {
        const auto afresh = [](VisWindow& view, const PictureSurface* pic, const QByteArray& frame, auto change) {
            plot(view, frame);
            const bool drawn = pixelsIn(pic, pic->rect()) > 0;
            change();
            return drawn && pixelsIn(pic, pic->rect()) == 0;
        };
        const QByteArray line = printable(0, 59), bits = ipFrame(60, 17, "\xC1");   // bits: a pixel at x = 0 in every mode
        for (int next : {1, 2, 0}) {
            QVERIFY(afresh(*text, text->picGraph, line, [&] { QTest::mouseDClick(text->picGraph, Qt::LeftButton); }));
            QCOMPARE(text->cmbVisMode->currentIndex(), next);
            QCOMPARE(text->tglPrintASCII->isVisible(), next == 0);   // strings are ASCII mode's
        }
        QVERIFY(afresh(*text, text->picGraph, line, [&] { emit text->cmbVisMode->activated(text->cmbVisMode->currentIndex()); }));
        QVERIFY(afresh(*text, text->picGraph, line, [&] { text->resize(50, 50); }));
        QCOMPARE(text->rain().currentRow(), 0);
        PictureSurface* pic = rain->picGraph;
        QVERIFY(afresh(*rain, pic, bits, [&] { QTest::mouseDClick(pic, Qt::LeftButton); }));
        QCOMPARE(rain->cmbVisMode->currentIndex(), int(RainfallMode::Rain1To1));
        QVERIFY(afresh(*rain, pic, bits, [&] { emit rain->cmbVisMode->activated(rain->cmbVisMode->currentIndex()); }));
        QVERIFY(afresh(*rain, pic, bits, [&] { rain->radScroll[1]->click(); }));
        QVERIFY(afresh(*rain, pic, bits, [&] { rain->resize(500, 350); }));
        QVERIFY(!afresh(*rain, pic, bits, [&] { rain->tglNOP->click(); }));
    }

    // The detail view.

    void bytesAreSpelledTwice()
    {
        const std::tuple<QByteArray, QString> rows[] = {{QByteArray("\x20\x21\x7E\x7F", 4), ".!~. 20  21  7E  7F  "},
                                                        {QByteArray("\x00\x1A\xFF", 3), "... 00  1A  FF  "},
                                                        {QByteArray(), " "}};   // an empty packet
        for (const auto& [frame, shown] : rows) {
            plot(*detail, ipFrame(60));   // replaced by the packet under test
            plot(*detail, frame);
            detail->flush();
            QCOMPARE(detail->txtASCII->toPlainText() + " " + detail->txtHex->toPlainText(), shown);
        }
    }

    // The whole packet as one line in its protocol colour (an unassigned one's
    // here), wrapped at the box width; the numbers between bytes, never inside one.
    void longPacketIsOneLineWrappedAtTheBoxWidth()
    {
        plot(*detail, ipFrame(1514, 200));
        detail->flush();
        QCOMPARE(detail->txtHex->toPlainText().size(), 4 * 1514);
        for (QPlainTextEdit* box : {detail->txtASCII, detail->txtHex}) {
            QVERIFY(box->document()->firstBlock().layout()->lineCount() > 1);
            const QImage shot = box->viewport()->grab().toImage();
            int found = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < shot.width(); ++x) found += shot.pixelColor(x, y) == QColor(255, 128, 128);
            QVERIFY(found > 0);
        }
        const QTextLayout* numbers = detail->txtHex->document()->firstBlock().layout();
        for (int k = 0; k < numbers->lineCount(); ++k) QCOMPARE(numbers->lineAt(k).textStart() % 4, 0);
    }

    void refreshShowsOnlyTheNewestPacket()
    {
        plot(*detail, "A");
        plot(*detail, "BC");
        QCOMPARE(detail->txtASCII->toPlainText(), QString());   // nothing laid out per packet
        QTRY_COMPARE(detail->txtASCII->toPlainText(), QString("BC"));
        plot(*detail, "A");
        detail->clear();   // drops the packet not yet shown
        QTest::qWait(3 * FrmVis7::kRefreshMs);
        QCOMPARE(detail->txtASCII->toPlainText() + detail->txtHex->toPlainText(), QString());
    }

    // Under the boxes: which packet it is, when it was captured, in local
    // time, and how long after the held packet before it; a packet from a
    // dataset has no time.
    void captureTimeIsShown_data()
    {
        QTest::addColumn<qint64>("before");   // packet 1's time
        QTest::addColumn<qint64>("at");       // packet 2's, the one shown
        QTest::addColumn<QString>("shown");
        const qint64 t = 1700000000'000001'000;
        QTest::newRow("after a timed packet") << t - 100'000'000 << t
                                              << "Packet 2, 2023-11-14 22:13:20.000001 (+0.100000 s)";
        QTest::newRow("backwards") << t + 500'000'999 << t << "Packet 2, 2023-11-14 22:13:20.000001 (-0.500000 s)";
        QTest::newRow("after an untimed packet") << qint64(kNoTime) << t << "Packet 2, 2023-11-14 22:13:20.000001";
        QTest::newRow("untimed") << t << qint64(kNoTime) << "Packet 2, no capture time";
        QTest::newRow("past 2106") << qint64(kNoTime) << qint64(5000000000'000000'000) << "Packet 2, 2128-06-11 08:53:20.000000";
    }
    void captureTimeIsShown()
    {
        QFETCH(qint64, before);
        QFETCH(qint64, at);
        QFETCH(QString, shown);
        resetBuffer("startup");
        const auto f = frames::ipv4(60, 17);
        addPacket(f.data(), 59, before);
        addPacket(f.data(), 59, at);
        detail->Plot({2, f.data(), 60, &byteFrequency()});
        detail->flush();
        QCOMPARE(detail->lblCaptureTime->text(), shown);
        detail->clear();
        QCOMPARE(detail->lblCaptureTime->text(), QString());
    }

    // From 8 to 24 points, 10 a page; at any size the boxes show whole rows.
    void detailViewShowsWholeRows()
    {
        QTest::mouseClick(detail->spnFontSize->downButton(), Qt::LeftButton);   // stays at 8
        QTest::keyClick(detail->spnFontSize, Qt::Key_PageUp);
        QCOMPARE(detail->lblCurrentFontSize->text(), QString("18"));
        QTest::keyClick(detail->spnFontSize, Qt::Key_PageUp);
        QTest::mouseClick(detail->spnFontSize->upButton(), Qt::LeftButton);   // stays at 24
        QCOMPARE(detail->lblCurrentFontSize->text(), QString("24"));
        for (const QSize size : {QSize(twips(2000), twips(3000)), QSize(777, 913)}) {
            detail->resize(size);
            for (QPlainTextEdit* box : {detail->txtASCII, detail->txtHex}) {
                QCOMPARE(box->font().pointSize(), 24);
                const int rows = box->viewport()->height() - 2 * int(box->document()->documentMargin());
                QCOMPARE(rows % box->fontMetrics().lineSpacing(), 0);
                QVERIFY(rows >= box->fontMetrics().lineSpacing());
            }
        }
    }

    // The binary rainfall.

    void modesAndHighlights_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("highlights");   // 1: printable ASCII, 2: NOP 0x90, 3: both
        QTest::addColumn<int>("size");         // of a frame starting 0x90 0x41 0x05
        QTest::addColumn<int>("x");            // the first pixel compared
        QTest::addColumn<Colours>("colours");
        const int length = int(RainfallMode::PacketLength), r24 = int(RainfallMode::Rain24To1);
        const int r8 = int(RainfallMode::Rain8To1), r1 = int(RainfallMode::Rain1To1);
        // A payload byte, grey, dark red and dark blue.
        const ColorRef p = green(0x33), G = rgb(64, 64, 64), d = rgb(128, 0, 0), b = rgb(0, 0, 128);
        QTest::newRow("8:1, 60 bytes") << r8 << 0 << 60 << 58 << Colours{p, p, kBack};
        QTest::newRow("8:1, cut at the width") << r8 << 0 << 1514 << 439 << Colours{p};
        QTest::newRow("8:1, NOP") << r8 << 2 << 60 << 0 << Colours{kRed, green(0x41), green(5)};
        QTest::newRow("8:1, both") << r8 << 3 << 60 << 0 << Colours{kRed, kBlue, G};
        // Red, green and blue from three bytes, a trailing byte dropped; no highlight in this mode.
        QTest::newRow("24:1") << r24 << 3 << 61 << 0 << Colours{rgb(0x90, 0x41, 5)};
        QTest::newRow("24:1, 61 bytes") << r24 << 3 << 61 << 19 << Colours{rgb(0x33, 0x33, 0x33), kBack};
        // Bits from the most significant: 0x90 = 1001 0000, 0x41 = 0100 0001.
        const ColorRef o = kBack, u = kUdp, B = kBlue, R = kRed;
        QTest::newRow("1:1, 0x41") << r1 << 0 << 60 << 8 << Colours{o, u, o, o, o, o, o, u};
        QTest::newRow("1:1, 0x41, ASCII") << r1 << 1 << 60 << 8 << Colours{b, B, b, b, b, b, b, B};
        QTest::newRow("1:1, 0x90, NOP") << r1 << 2 << 60 << 0 << Colours{R, d, d, R, d, d, d, d};
        // With both down the ASCII rule paints the set bits grey over the red.
        QTest::newRow("1:1, 0x90, both") << r1 << 3 << 60 << 0 << Colours{G, d, d, G, d, d, d, d};
        QTest::newRow("length 759 of 1518") << length << 0 << 759 << 220 << Colours{kUdp, kBack};
    }
    void modesAndHighlights()
    {
        QFETCH(int, mode);
        QFETCH(int, highlights);
        QFETCH(int, size);
        QFETCH(int, x);
        QFETCH(Colours, colours);
        rain->cmbVisMode->setCurrentIndex(mode);
        rain->tglASCII->setChecked(highlights & 1);
        rain->tglNOP->setChecked(highlights & 2);
        plot(*rain, ipFrame(size, 17, "\x90\x41\x05"));
        QCOMPARE(pixels(rain->picGraph, 0, x, int(colours.size())), colours);
    }

    // The byte frequency.

    // A share of 1/10 is ten other bytes and an A: the divisor is the length less one.
    void colourOfAByteValueAndThresholdLabel_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<ColorRef>("colourOfA");
        QTest::addColumn<QString>("label");
        const QByteArray ten(10, 'x');
        QTest::newRow("presence") << 0 << 500 << ipFrame(60, 17, "A\xFF") << kUdp << "10%";
        QTest::newRow("1/10 at 10%: equal is blue") << 1 << 500 << ten + "A" << kBlue << "10%";
        QTest::newRow("1/10 at 6.66%") << 1 << 333 << ten + "A" << kRed << "6.66%";
        QTest::newRow("1/10 at 9.5%: not 1/11") << 1 << 475 << ten + "A" << kRed << "9.5%";
        QTest::newRow("one byte: 1") << 1 << 1000 << QByteArray("A") << kRed << "20%";
    }
    void colourOfAByteValueAndThresholdLabel()
    {
        QFETCH(int, mode);
        QFETCH(int, threshold);
        QFETCH(QByteArray, frame);
        QFETCH(ColorRef, colourOfA);
        QFETCH(QString, label);
        plot(*bytes, "A");
        bytes->cmbVisMode->setCurrentIndex(mode);   // for the packets to come: what is drawn stays
        QVERIFY(bytes->picGraph->point('A', 0) != kBack);
        QCOMPARE(bytes->scrThreshold->isVisible(), mode == 1);   // the threshold is the frequency mode's
        bytes->scrThreshold->setValue(threshold);
        QCOMPARE(bytes->lblThreshold->text(), label);
        plot(*bytes, frame);
        QCOMPARE(pixels(bytes->picGraph, 1, 'A', 2), (Colours{colourOfA, kBack}));   // no B: not drawn
        QCOMPARE(bytes->picGraph->point(0xFF, 1), frame.contains('\xFF') ? kUdp : kBack);
    }

    // Over the columns the tool tip names the byte value, following the pointer,
    // and then the packet of the row; past the last column (x = 256) only the
    // packet, and over a blank row past it nothing.
    void readOutNamesTheByteValue()
    {
        QVERIFY(bytes->picGraph->hasMouseTracking());
        const auto tip = [&](int x, int y) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), {}, {}, {});
            QCoreApplication::sendEvent(bytes->picGraph, &move);
            return bytes->picGraph->toolTip();
        };
        QCOMPARE(tip(0, 10), QString("0  0x0  ") + QChar(0));
        QCOMPARE(tip(256, 10), QString());
        const QString packet = QString::fromStdString(packetSummary(plot(*bytes, ipFrame(60, 17))));   // on row 0
        QCOMPARE(tip(65, 0), "65  0x41  A\n" + packet);
        QCOMPARE(tip(256, 0), packet);
    }

    // Rows and the hit index. Packet k of a run carries 1 + k / 128 and
    // 128 + k % 128 in its bytes, which its row shows: the binary rainfall as
    // the colours of its first pixels, the byte frequency as its lowest and
    // highest lit columns. Static scroll wraps on the picture and keeps the row
    // under the newest blank; dynamic scroll puts the newest under a blank top
    // row, pushing the others down. Past a wrap and past the picture's height
    // of dynamic scrolls, every row showing a packet answers that packet; the
    // blank row answers none. The scroll picked again clears the view.
    void rowsAnswerThePacketThatDrewThem_data()
    {
        QTest::addColumn<bool>("rainfall");
        QTest::addColumn<int>("mode");   // the mode list's entry
        QTest::addColumn<bool>("dynamic");
        QTest::newRow("binary 24:1 dynamic") << true << 1 << true;
        QTest::newRow("binary 8:1 static") << true << 2 << false;
        QTest::newRow("byte presence static") << false << 0 << false;
        QTest::newRow("byte presence dynamic") << false << 0 << true;
    }
    void rowsAnswerThePacketThatDrewThem()
    {
        QFETCH(bool, rainfall);
        QFETCH(int, mode);
        QFETCH(bool, dynamic);
        FrmVis4* r = rain;
        FrmVis2* b = bytes;
        (rainfall ? r->cmbVisMode : b->cmbVisMode)->setCurrentIndex(mode);
        QRadioButton* scroll = (rainfall ? r->radScroll : b->radScroll)[dynamic ? 1 : 0];
        scroll->click();
        VisWindow& view = rainfall ? static_cast<VisWindow&>(*r) : *b;
        const PictureSurface* pic = rainfall ? r->picGraph : b->picGraph;
        const int h = pic->scaleHeight();
        std::vector<int32_t> numbers;   // packet k's number
        for (int k = 0; k < h + 37; ++k) {
            const char b0 = char(1 + k / 128), b1 = char(128 + k % 128);
            numbers.push_back(plot(view, QByteArray(1, b0) + b1 + b1));
        }
        int answered = 0;
        for (int y = 0; y < h; ++y) {
            int first = -1, second = -1;   // the two byte values the row shows
            if (!rainfall) {
                for (int x = 0; x < 256; ++x)
                    if (pic->point(x, y) != kBack) (first < 0 ? first : second) = x;
            } else if (pic->point(0, y) != kBack) {
                first = mode == 1 ? redOf(pic->point(0, y)) : greenOf(pic->point(0, y));
                second = mode == 1 ? greenOf(pic->point(0, y)) : greenOf(pic->point(1, y));
            }
            const std::vector<int32_t> hits = view.packetsAt(0, 0, y, 0);
            if (first < 0) {
                QVERIFY2(hits.empty(), qPrintable(QString("row %1").arg(y)));
                continue;
            }
            const size_t k = size_t((first - 1) * 128 + second - 128);
            QVERIFY(k < numbers.size());
            QCOMPARE(y, dynamic ? int(numbers.size() - k) : int(k % size_t(h)));
            QCOMPARE(hits, std::vector<int32_t>{numbers[k]});
            ++answered;
        }
        QCOMPARE(answered, h - 1);   // every row but the blank one
        scroll->click();
        QVERIFY(view.packetsAt(0, 0, 1, 0).empty() && pixelsIn(pic, pic->rect()) == 0);
    }

    // The text rainfall's answer for each band is the packet whose line went
    // there last, whatever its mode; the band left blank answers none.
    void textRowsAnswerThePacketThatDrewThem()
    {
        const PictureSurface* pic = text->picGraph;
        for (int mode : {0, 1}) {   // ASCII lines carry their packet number, hex lines do not
            text->cmbVisMode->setCurrentIndex(mode);
            std::map<int, int32_t> lineAt;   // a band's top row: the packet drawn there last
            for (int k = 0; k < pic->scaleHeight() / kPitch + 7; ++k) {
                const int row = text->rain().currentRow();
                lineAt[row] = plot(*text, printable(k, k + 3 * k % 40));
            }
            for (int top = 0; top + kPitch <= pic->scaleHeight(); top += kPitch) {
                const bool blank = top == text->rain().currentRow();
                QCOMPARE(pixelsIn(pic, band(top)) == 0, blank);
                const std::vector<int32_t> expected = blank ? std::vector<int32_t>{} : std::vector<int32_t>{lineAt.at(top)};
                for (int y = top; y < top + kPitch; ++y) QCOMPARE(text->packetsAt(0, 0, y, 0), expected);
            }
        }
    }

    // Whatever the mode, each thumbnail draws a packet as a green row, erases the
    // row under it for the next and wraps on its picture. The text rainfall's
    // line is as long as the packet is large, the binary rainfall's shows the
    // bytes and the byte frequency's lights the values that occur.
    void thumbnailsDrawInGreen()
    {
        rain->cmbVisMode->setCurrentIndex(int(RainfallMode::PacketLength));
        bytes->cmbVisMode->setCurrentIndex(1);
        const QByteArray packet = QByteArray("\3\3\x50\xC8") + QByteArray(755, 0x33);
        const auto* data = reinterpret_cast<const uint8_t*>(packet.data());
        computeByteFrequency(data, 759);
        Colours textRow(81, kBack), rainRow(81, green(0x33)), bytesRow(81, kBack);
        std::fill_n(textRow.begin(), 41, green(255));   // 759 of 1518 bytes: to x = 40.5, which goes to 40
        std::copy_n(Colours{green(3), green(3), green(80), green(200)}.begin(), 4, rainRow.begin());
        bytesRow[3] = bytesRow[0x33] = bytesRow[80] = green(255);
        for (const auto& [view, drawn] : {std::pair{1, textRow}, {4, rainRow}, {2, bytesRow}}) {
            ThumbnailRenderer& thumbnail = *viewThumbnail(viewRow(view));
            const ThumbnailTarget target = thumbnailTarget(view);
            PictureSurface* thumb = target.picture;
            thumbnail.clear(target);
            thumb->line(0, 1, 80, 1, rgb(255, 255, 255));   // the row the next packet erases
            for (int k = 0; k < thumb->scaleHeight(); ++k) {
                thumbnail.plotThumbnail({1, data, 759, &byteFrequency()}, target);
                QCOMPARE(pixels(thumb, k, 0, 81), drawn);
                QCOMPARE(pixels(thumb, (k + 1) % thumb->scaleHeight(), 0, 81), Colours(81, kBack));
            }
        }
    }
};

QTEST_MAIN(TestByteViews)
#include "test_byteviews.moc"
