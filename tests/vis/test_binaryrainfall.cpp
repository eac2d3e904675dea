// The binary rainfall view: the four modes' pixels and the highlights, static
// and dynamic scroll, the thumbnail, what clears the view, resizing.
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <array>
#include <functional>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "support/frames.h"
#include "vis/frmVis4.h"
#include "vis/viewRegistry.h"

using Colours = std::vector<ColorRef>;

namespace {
constexpr ColorRef kBack = rgb(0, 0, 0), kUdp = rgb(255, 128, 0), kRed = rgb(255, 0, 0), kDarkRed = rgb(128, 0, 0),
                   kBlue = rgb(0, 0, 255), kDarkBlue = rgb(0, 0, 128), kGrey = rgb(64, 64, 64);
constexpr ColorRef green(int v) { return rgb(0, v, 0); }

// A UDP frame of `size` bytes starting with `lead`; from byte 34 on, byte i is i % 250 + 1.
std::vector<uint8_t> udpFrame(int size, const QByteArray& lead = {})
{
    auto f = frames::ipv4(std::max(size, 34), 17);
    f.resize(size_t(size));
    for (size_t i = 34; i < f.size(); ++i) f[i] = uint8_t(i % 250 + 1);
    std::copy(lead.begin(), lead.end(), f.begin());
    return f;
}

// Stores the frame (the view draws in its protocol colour) and plots it as the dispatch would.
void plot(const std::vector<uint8_t>& frame)
{
    std::array<uint8_t, kSlotBytes> work{};
    std::copy(frame.begin(), frame.end(), work.begin());
    frmVis4()->Plot({addPacket(frame.data(), int(frame.size()) - 1), work.data(), int(frame.size()), nullptr});
}

Colours pixels(const PictureSurface* pic, int y, int first, int count)
{
    Colours v;
    for (int x = first; x < first + count; ++x) v.push_back(pic->point(x, y));
    return v;
}
}

class TestBinaryRainfall : public QObject {
    Q_OBJECT
    FrmVis4* view = nullptr;
    PictureSurface* pic = nullptr;

private slots:
    void initTestCase()
    {
        frmMain()->show();
        view = frmVis4();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        pic = view->picGraph;
    }

    void init()
    {
        view->resize(440, 300);
        view->cmbVisMode->setCurrentIndex(int(RainfallMode::Rain8To1));
        view->radScroll[0]->setChecked(true);
        view->tglASCII->setChecked(false);
        view->tglNOP->setChecked(false);
        view->clear();
    }

    void modesAndHighlights_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<bool>("nop");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("lead");
        QTest::addColumn<int>("x");   // the first pixel compared
        QTest::addColumn<Colours>("colours");
        const int r8 = int(RainfallMode::Rain8To1), r1 = int(RainfallMode::Rain1To1);
        const QByteArray bytes("\x90\x41\x05");
        QTest::newRow("8:1, 60 bytes") << r8 << false << false << 60 << bytes << 58 << Colours{green(59), green(60), kBack};
        QTest::newRow("8:1, cut at the width") << r8 << false << false << 1514 << bytes << 439 << Colours{green(190)};
        QTest::newRow("8:1, NOP") << r8 << false << true << 60 << bytes << 0 << Colours{kRed, green(0x41), green(5)};
        QTest::newRow("8:1, both") << r8 << true << true << 60 << bytes << 0 << Colours{kRed, kBlue, kGrey};
        // 61 bytes: 20 pixels, the 61st byte dropped; no highlight in this mode.
        QTest::newRow("24:1") << int(RainfallMode::Rain24To1) << true << true << 61 << QByteArray() << 19
                              << Colours{rgb(58, 59, 60), kBack};
        // Bits from the most significant; 0x41 = 0100 0001, 0x90 = 1001 0000.
        const ColorRef o = kBack, u = kUdp, d = kDarkRed, b = kDarkBlue;
        QTest::newRow("1:1, 0x41") << r1 << false << false << 60 << QByteArray("A") << 0 << Colours{o, u, o, o, o, o, o, u};
        QTest::newRow("1:1, 0x41, ASCII") << r1 << true << false << 60 << QByteArray("A") << 0
                                          << Colours{b, kBlue, b, b, b, b, b, kBlue};
        QTest::newRow("1:1, 0x90, NOP") << r1 << false << true << 60 << bytes << 0 << Colours{kRed, d, d, kRed, d, d, d, d};
        // With both down the ASCII rule paints the set bits grey over the red.
        QTest::newRow("1:1, 0x90, both") << r1 << true << true << 60 << bytes << 0
                                         << Colours{kGrey, d, d, kGrey, d, d, d, d};
        const int length = int(RainfallMode::PacketLength);
        QTest::newRow("length 1518") << length << false << false << 1518 << QByteArray() << 439 << Colours{kUdp};
        QTest::newRow("length 759") << length << false << false << 759 << QByteArray() << 220 << Colours{kUdp, kBack};
    }
    void modesAndHighlights()
    {
        QFETCH(int, mode);
        QFETCH(bool, ascii);
        QFETCH(bool, nop);
        QFETCH(int, size);
        QFETCH(QByteArray, lead);
        QFETCH(int, x);
        QFETCH(Colours, colours);
        view->cmbVisMode->setCurrentIndex(mode);
        view->tglASCII->setChecked(ascii);
        view->tglNOP->setChecked(nop);
        plot(udpFrame(size, lead));
        QCOMPARE(pixels(pic, 0, x, int(colours.size())), colours);
    }

    void staticThenDynamicScroll()
    {
        const int h = pic->scaleHeight();
        for (int k = 0; k < h + 3; ++k) {   // static: wraps on the picture, the next row blank
            const int row = view->rain().currentRow();
            plot(udpFrame(60, QByteArray(1, char(k % 200 + 1))));
            QCOMPARE(pic->point(0, row), green(k % 200 + 1));
            QCOMPARE(pixels(pic, (row + 1) % h, 0, 60), Colours(60, kBack));
        }
        QCOMPARE(view->rain().currentRow(), 3);
        view->radScroll[1]->setChecked(true);
        for (int k = 1; k <= h + 5; ++k) plot(udpFrame(60, QByteArray(1, char(k % 250 + 1))));
        QCOMPARE(pixels(pic, 0, 0, 60), Colours(60, kBack));
        // Row r holds the packet drawn r - 1 packets ago, down to the bottom row.
        for (int r = 1; r < h; ++r) QCOMPARE(pic->point(0, r), green((h + 5 - r + 1) % 250 + 1));
    }

    void thumbnailRowIsAsLongAsThePacket()
    {
        view->cmbVisMode->setCurrentIndex(int(RainfallMode::PacketLength));   // whatever the mode
        auto& thumbnail = static_cast<BinaryRainfallThumbnail&>(*viewThumbnail(viewRow(4)));
        const ThumbnailTarget target = thumbnailTarget(4);
        PictureSurface* thumb = target.picture;
        QCOMPARE(thumb, frmMain()->picVis(4));
        thumbnail.clear(target);
        const auto frame = udpFrame(30, QByteArray(30, 'P'));
        thumb->line(0, 1, 80, 1, rgb(255, 255, 255));   // the row the next packet erases
        const int h = thumb->scaleHeight();
        for (int k = 0; k < h; ++k) thumbnail.plotThumbnail({1, frame.data(), 30, nullptr}, target);
        Colours row(30, green('P'));   // 30 pixels, whatever the mode
        row.push_back(kBack);
        QCOMPARE(pixels(thumb, h - 1, 0, 31), row);
        QCOMPARE(thumb->point(0, 1), green('P'));
        QCOMPARE(thumb->point(60, 1), kBack);
        QCOMPARE(thumbnail.thumbRow(), 0);   // wrapped on the picture: row 0 is next, erased
        QCOMPARE(pixels(thumb, 0, 0, 30), Colours(30, kBack));
    }

    void choicesClearTheViewHighlightsDoNot()
    {
        const auto cleared = [&](const std::function<void()>& change) {
            plot(udpFrame(60, "\xC1"));   // its first bit set: a pixel at x = 0 in every mode
            const bool drawn = pic->point(0, 0) != kBack || pic->point(0, 1) != kBack;
            change();
            return drawn && pic->point(0, 0) == kBack && pic->point(0, 1) == kBack;
        };
        QVERIFY(cleared([&] { QTest::mouseDClick(pic, Qt::LeftButton); }));   // 8:1 -> 1:1
        QVERIFY(cleared([&] { QTest::mouseDClick(pic, Qt::LeftButton); }));   // 1:1 -> packet length
        QCOMPARE(view->cmbVisMode->currentIndex(), int(RainfallMode::PacketLength));
        QVERIFY(cleared([&] { emit view->cmbVisMode->activated(view->cmbVisMode->currentIndex()); }));
        QVERIFY(cleared([&] { view->radScroll[1]->click(); }));
        QVERIFY(cleared([&] { view->radScroll[1]->click(); }));   // the one already selected
        QVERIFY(cleared([&] { view->resize(500, 350); }));
        QVERIFY(!cleared([&] { view->tglNOP->click(); }));
        QVERIFY(view->rain().settings.highlightNOP);
    }

    void resizingKeepsTheMinimumAndPlacesTheControls()
    {
        view->resize(50, 50);
        QCOMPARE(view->size(), QSize(2000 / 15, 3000 / 15));
        QCOMPARE(pic->geometry(), QRect(0, 0, view->width(), view->height() - 1100 / 15));
        QCOMPARE(view->picGraphBack->size(), pic->size());
        QCOMPARE(view->radScroll[1]->y(), pic->height() + 300 / 15);
        view->resize(440, 300);
        QVERIFY(view->tglNOP->geometry().right() < view->width());
        QVERIFY(view->tglNOP->geometry().bottom() < view->height());
    }
};

QTEST_MAIN(TestBinaryRainfall)
#include "test_binaryrainfall.moc"
