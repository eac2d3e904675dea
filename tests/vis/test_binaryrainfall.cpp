// The binary rainfall view: the four modes' pixels, the highlights, static
// and dynamic scroll, the thumbnail, and what clears the view.
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

namespace {
constexpr ColorRef kBack = rgb(0, 0, 0), kUdp = rgb(255, 128, 0), kRed = rgb(255, 0, 0),
                   kDarkRed = rgb(128, 0, 0), kBlue = rgb(0, 0, 255), kDarkBlue = rgb(0, 0, 128),
                   kGrey = rgb(64, 64, 64);

// A UDP frame of `size` bytes whose bytes from 0 on are `lead`, the rest 1, 2, 3, ...
std::vector<uint8_t> udpFrame(int size, std::vector<uint8_t> lead = {})
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
    const int32_t n = addPacket(frame.data(), int(frame.size()) - 1);
    frmVis4()->Plot({n, work.data(), int(frame.size()), nullptr});
}

// The colours of row y from x = first, count pixels.
std::vector<ColorRef> pixels(const PictureSurface* pic, int y, int first, int count)
{
    std::vector<ColorRef> v;
    for (int x = first; x < first + count; ++x) v.push_back(pic->point(x, y));
    return v;
}
}

class TestBinaryRainfall : public QObject {
    Q_OBJECT
    FrmVis4* view = nullptr;
    PictureSurface* pic = nullptr;

    void select(RainfallMode mode) { view->cmbVisMode->setCurrentIndex(int(mode)); }

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
        select(RainfallMode::Rain8To1);
        view->radScroll[0]->setChecked(true);
        view->tglASCII->setChecked(false);
        view->tglNOP->setChecked(false);
        view->clear();
    }

    void eightToOneDrawsABytePerPixelUpToTheWidth_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("60 bytes") << 60;
        QTest::newRow("wider than the picture") << 1514;
    }
    void eightToOneDrawsABytePerPixelUpToTheWidth()
    {
        QFETCH(int, size);
        const auto frame = udpFrame(size);
        plot(frame);
        const int drawn = std::min(size, pic->scaleWidth());
        for (int x = 0; x < drawn; ++x) QCOMPARE(pic->point(x, 0), rgb(0, frame[size_t(x)], 0));
        QCOMPARE(pic->point(drawn, 0), kBack);
    }

    void eightToOneHighlights_data()
    {
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<bool>("nop");
        QTest::addColumn<std::vector<ColorRef>>("colours");   // of the bytes 0x90, 0x41, 0x05
        QTest::newRow("none") << false << false << std::vector{rgb(0, 0x90, 0), rgb(0, 0x41, 0), rgb(0, 5, 0)};
        QTest::newRow("NOP") << false << true << std::vector{kRed, rgb(0, 0x41, 0), rgb(0, 5, 0)};
        QTest::newRow("ASCII") << true << false << std::vector{kGrey, kBlue, kGrey};
        QTest::newRow("both") << true << true << std::vector{kRed, kBlue, kGrey};
    }
    void eightToOneHighlights()
    {
        QFETCH(bool, ascii);
        QFETCH(bool, nop);
        QFETCH(std::vector<ColorRef>, colours);
        view->tglASCII->setChecked(ascii);
        view->tglNOP->setChecked(nop);
        plot(udpFrame(60, {0x90, 0x41, 0x05}));
        QCOMPARE(pixels(pic, 0, 0, 3), colours);
    }

    void twentyFourToOneDropsATrailingGroup()
    {
        select(RainfallMode::Rain24To1);
        view->tglASCII->setChecked(true);   // no highlight in this mode
        const auto frame = udpFrame(61);
        plot(frame);
        QCOMPARE(pic->point(0, 0), rgb(frame[0], frame[1], frame[2]));
        QCOMPARE(pic->point(19, 0), rgb(frame[57], frame[58], frame[59]));
        QCOMPARE(pic->point(20, 0), kBack);
    }

    void oneToOnePaintsBitsByTheRules_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<bool>("nop");
        QTest::addColumn<std::vector<ColorRef>>("bits");   // most significant first
        const ColorRef o = kBack, u = kUdp;
        QTest::newRow("0x41, no highlight") << 0x41 << false << false << std::vector{o, u, o, o, o, o, o, u};
        QTest::newRow("0x41, ASCII")
            << 0x41 << true << false
            << std::vector{kDarkBlue, kBlue, kDarkBlue, kDarkBlue, kDarkBlue, kDarkBlue, kDarkBlue, kBlue};
        QTest::newRow("0x41, NOP") << 0x41 << false << true << std::vector{o, kGrey, o, o, o, o, o, kGrey};
        // 0x90 = 1001 0000: with both down the ASCII rule paints its set bits grey over the red.
        const ColorRef d = kDarkRed;
        QTest::newRow("0x90, both") << 0x90 << true << true << std::vector{kGrey, d, d, kGrey, d, d, d, d};
        QTest::newRow("0x90, NOP") << 0x90 << false << true << std::vector{kRed, d, d, kRed, d, d, d, d};
    }
    void oneToOnePaintsBitsByTheRules()
    {
        QFETCH(int, byte);
        QFETCH(bool, ascii);
        QFETCH(bool, nop);
        QFETCH(std::vector<ColorRef>, bits);
        select(RainfallMode::Rain1To1);
        view->tglASCII->setChecked(ascii);
        view->tglNOP->setChecked(nop);
        plot(udpFrame(1514, {uint8_t(byte)}));
        QCOMPARE(pixels(pic, 0, 0, 8), bits);
    }

    void packetLengthLineIsScaledTo1518()
    {
        select(RainfallMode::PacketLength);
        plot(udpFrame(1518));
        plot(udpFrame(759));
        QCOMPARE(pic->point(pic->scaleWidth() - 1, 0), kUdp);
        QCOMPARE(pic->point(220, 1), kUdp);   // 759 / 1518 x 440
        QCOMPARE(pic->point(221, 1), kBack);
    }

    void staticScrollWrapsOnThePictureOverABlankRow()
    {
        const int h = pic->scaleHeight();
        for (int k = 0; k < h + 3; ++k) {
            const int row = view->rain().currentRow();
            QCOMPARE(row, k % h);
            plot(udpFrame(60, {uint8_t(k % 200 + 1)}));
            QCOMPARE(pic->point(0, row), rgb(0, k % 200 + 1, 0));
            QCOMPARE(pixels(pic, (row + 1) % h, 0, 60), std::vector<ColorRef>(60, kBack));
        }
    }

    void dynamicScrollKeepsTheNewestOnRowOne()
    {
        view->radScroll[1]->setChecked(true);
        const int h = pic->scaleHeight();
        for (int k = 1; k <= h + 5; ++k) plot(udpFrame(60, {uint8_t(k % 250 + 1)}));
        QCOMPARE(pixels(pic, 0, 0, 60), std::vector<ColorRef>(60, kBack));
        // Row r holds the packet drawn r - 1 packets ago, down to the bottom row.
        for (int r = 1; r < h; ++r) QCOMPARE(pic->point(0, r), rgb(0, (h + 5 - r + 1) % 250 + 1, 0));
    }

    void thumbnailRowIsAsLongAsThePacket()
    {
        select(RainfallMode::PacketLength);   // whatever the mode
        auto& thumbnail = static_cast<BinaryRainfallThumbnail&>(*viewThumbnail(viewRow(4)));
        const ThumbnailTarget target = thumbnailTarget(4);
        PictureSurface* thumb = target.picture;
        QCOMPARE(thumb, frmMain()->picVis(4));
        thumbnail.clear(target);
        const auto frame = udpFrame(30, {200});
        thumb->line(0, 1, 80, 1, rgb(255, 255, 255));   // the row the next packet erases
        thumbnail.plotThumbnail({1, frame.data(), 30, nullptr}, target);
        QCOMPARE(thumb->point(0, 0), rgb(0, 200, 0));
        QCOMPARE(thumb->point(29, 0), rgb(0, frame[29], 0));
        QCOMPARE(thumb->point(30, 0), kBack);
        QCOMPARE(thumb->point(0, 1), kBack);
        for (int k = 1; k < thumb->scaleHeight(); ++k) thumbnail.plotThumbnail({1, frame.data(), 30, nullptr}, target);
        QCOMPARE(thumbnail.thumbRow(), 0);
    }

    void choicesClearTheViewHighlightsDoNot()
    {
        const auto drawnAndCleared = [&](const std::function<void()>& change) {
            plot(udpFrame(60, {0xC1}));   // its first bit is set
            const bool drawn = pic->point(0, 0) != kBack || pic->point(0, 1) != kBack;
            change();
            return drawn && pic->point(0, 0) == kBack && pic->point(0, 1) == kBack;
        };
        QVERIFY(drawnAndCleared([&] { QTest::mouseDClick(pic, Qt::LeftButton); }));
        QCOMPARE(view->cmbVisMode->currentIndex(), int(RainfallMode::Rain1To1));
        QVERIFY(drawnAndCleared([&] { QTest::mouseDClick(pic, Qt::LeftButton); }));
        QCOMPARE(view->cmbVisMode->currentIndex(), int(RainfallMode::PacketLength));
        QVERIFY(drawnAndCleared([&] { emit view->cmbVisMode->activated(view->cmbVisMode->currentIndex()); }));
        QVERIFY(drawnAndCleared([&] { view->radScroll[1]->click(); }));
        QVERIFY(drawnAndCleared([&] { view->radScroll[1]->click(); }));   // the one already selected
        QVERIFY(drawnAndCleared([&] { view->resize(500, 350); }));
        QVERIFY(!drawnAndCleared([&] { view->tglNOP->click(); }));
        QCOMPARE(view->rain().settings.highlightNOP, true);
    }

    void resizingKeepsTheMinimumAndPlacesTheControls()
    {
        view->resize(50, 50);
        QCOMPARE(view->size(), QSize(2000 / 15, 3000 / 15));
        QCOMPARE(pic->geometry(), QRect(0, 0, view->width(), view->height() - 1100 / 15));
        QCOMPARE(view->picGraphBack->size(), pic->size());
        QCOMPARE(view->radScroll[1]->y(), pic->height() + 300 / 15);
        QVERIFY(view->tglNOP->geometry().bottom() < view->height());
        view->resize(440, 300);
        QVERIFY(view->tglNOP->geometry().right() < view->width());
    }
};

QTEST_MAIN(TestBinaryRainfall)
#include "test_binaryrainfall.moc"
