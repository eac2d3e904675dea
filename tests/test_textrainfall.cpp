// The text rainfall view: line bounds, the three modes, printable strings,
// rows that rain down over a blank band, the thumbnail, mode changes, resizing.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <array>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "playback/modEncodings.h"
#include "playback/modScreenShots.h"
#include "support/frames.h"
#include "vis/frmVis1.h"

namespace {
constexpr int kControlBand = 1100 / 15;   // pixels under the picture

struct Plotted {
    int32_t number;
    QString line;
};

// Stores the frame (so the view finds its protocol) and plots it as the dispatch would.
Plotted plotFrame(const std::vector<uint8_t>& frame, int32_t number = 0)
{
    std::array<uint8_t, kSlotBytes> work{};
    std::copy(frame.begin(), frame.end(), work.begin());
    const int32_t stored = addPacket(frame.data(), int(frame.size()) - 1);
    if (number == 0) number = stored;
    frmVis1()->Plot({number, work.data(), int(frame.size()), nullptr});
    return {number, frmVis1()->lastLine()};
}

QString prefixOf(int32_t n) { return QString("<%1>  ").arg(n); }

// A frame whose byte i reads as the printable character 32 + i mod 95.
std::vector<uint8_t> printableFrame(int size)
{
    std::vector<uint8_t> f(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i) f[size_t(i)] = uint8_t(32 + i % 95);
    return f;
}

QString printableText(int first, int last)
{
    QString s;
    for (int i = first; i <= last; ++i) s += QChar(32 + i % 95);
    return s;
}

std::vector<uint8_t> textFrame(const char* text, int size)
{
    std::vector<uint8_t> f(size_t(size), 0);
    std::copy(text, text + size, f.begin());
    return f;
}

// True when every pixel of the box (clipped to the picture) has the back colour.
bool columnsBlank(const PictureSurface* pic, int left, int right, int top, int bottom)
{
    const QRect box = QRect(QPoint(left, top), QPoint(right, bottom)).intersected(pic->image().rect());
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (pic->point(x, y) != pic->backColor()) return false;
    return true;
}

bool rowsBlank(const PictureSurface* pic, int top, int bottom)
{
    return columnsBlank(pic, 0, pic->scaleWidth() - 1, top, bottom);
}
}

class TestTextRainfall : public QObject {
    Q_OBJECT
    int cell = 0;
    FrmVis1* view = nullptr;

    // A window whose picture holds exactly `cells` characters per line and is `rows` pixels high.
    void sizePicture(int cells, int rows)
    {
        view->resize(cells * cell, rows + kControlBand);
        QCOMPARE(view->picGraph->scaleWidth(), cells * cell);
        QCOMPARE(view->lineCells(), cells);
    }

private slots:
    void initTestCase()
    {
        frmMain()->show();
        view = frmVis1();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        cell = view->picGraph->textWidth("S");
        qInfo("character cell: %d px (%s)", cell, qPrintable(QFontInfo(view->picGraph->drawFont()).family()));
        QVERIFY(cell > 0);
    }

    void init()
    {
        view->cmbVisMode->setCurrentIndex(0);
        view->tglEther->setChecked(false);
        view->tglPrintASCII->setChecked(false);
        view->spnLength->setValue(1);
        sizePicture(100, 300);
        view->clear();
    }

    void loadsWithItsDesignDefaults()
    {
        QCOMPARE(view->windowTitle(), QString("nivora: Text Rainfall"));
        QCOMPARE(view->cmbVisMode->count(), 3);
        QCOMPARE(view->cmbVisMode->itemText(0), QString("ASCII"));
        QCOMPARE(view->cmbVisMode->itemText(1), QString("hex"));
        QCOMPARE(view->cmbVisMode->itemText(2), QString("decimal"));
        QCOMPARE(view->tglPrintASCII->text(), QString("Show Strings of Length N"));
        QCOMPARE(view->tglEther->text(), QString("Strip Ether Header"));
        QVERIFY(view->tglPrintASCII->isVisible());
        QVERIFY(!view->spnLength->isVisible());
        QVERIFY(!view->lblLength->isVisible());
        QCOMPARE(view->lblLength->text(), QString("1"));
    }

    void lineShowsAtMostOneByteACell()
    {
        auto small = plotFrame(printableFrame(60));
        QCOMPARE(small.line, prefixOf(small.number) + printableText(0, 59));
        auto large = plotFrame(printableFrame(1514));
        QCOMPARE(large.line, prefixOf(large.number) + printableText(0, 99));

        view->tglEther->setChecked(true);
        auto strippedSmall = plotFrame(printableFrame(60));
        QCOMPARE(strippedSmall.line, prefixOf(strippedSmall.number) + printableText(14, 59));
        auto stripped = plotFrame(printableFrame(1514));
        QCOMPARE(stripped.line, prefixOf(stripped.number) + printableText(14, 113));

        // The hundred characters fill the picture to its last cell.
        view->tglEther->setChecked(false);
        const int row = view->currentRow();
        QCOMPARE(plotFrame(std::vector<uint8_t>(200, 'M'), -1).line,
                 QString(100, 'M'));
        QVERIFY(!columnsBlank(view->picGraph, 99 * cell, 100 * cell - 1, row, row + FrmVis1::kRowPitch - 1));

        view->cmbVisMode->setCurrentIndex(1);
        QCOMPARE(plotFrame(printableFrame(60)).line.size(), 60 * 4);
        QCOMPARE(plotFrame(printableFrame(1514)).line.size(), 100 * 4);
    }

    void strippedShortPacketsGiveEmptyLines_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("advance");
        QTest::newRow("ASCII, 14 bytes") << 0 << 14 << 0;
        QTest::newRow("ASCII, 10 bytes") << 0 << 10 << 0;
        QTest::newRow("hex, 14 bytes") << 1 << 14 << FrmVis1::kRowPitch;
        QTest::newRow("hex, 1 byte") << 1 << 1 << FrmVis1::kRowPitch;
        QTest::newRow("decimal, 14 bytes") << 2 << 14 << FrmVis1::kRowPitch;
        QTest::newRow("decimal, 10 bytes") << 2 << 10 << FrmVis1::kRowPitch;
    }
    void strippedShortPacketsGiveEmptyLines()
    {
        QFETCH(int, mode);
        QFETCH(int, size);
        QFETCH(int, advance);
        view->cmbVisMode->setCurrentIndex(mode);
        view->tglEther->setChecked(true);
        plotFrame(printableFrame(40));
        const int row = view->currentRow();
        QCOMPARE(plotFrame(printableFrame(size)).line, QString());
        QCOMPARE(view->currentRow(), row + advance);
        QVERIFY(rowsBlank(view->picGraph, row, row + FrmVis1::kRowPitch - 1));
    }

    void modesSpellEachByte()
    {
        const auto bytes = frames::bytes({0x41, 0x00, 0x7E, 0x0A, 0xFF, 0x20});
        auto ascii = plotFrame(bytes);
        QCOMPARE(ascii.line, prefixOf(ascii.number) + "A.~.. ");
        view->cmbVisMode->setCurrentIndex(1);
        QCOMPARE(plotFrame(bytes).line, QString("41  00  7E  0A  FF  20  "));
        view->cmbVisMode->setCurrentIndex(2);
        QCOMPARE(plotFrame(bytes).line, QString("65 0 126 10 255 32 "));
        view->cmbVisMode->setCurrentIndex(0);
        QCOMPARE(plotFrame(bytes, -1).line, QString("A.~.. "));   // packet -1 has no prefix
    }

    void stringsOfAtLeastN_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short run skipped") << QByteArray("ab\0cdef\0", 8) << 3 << "cdef";
        QTest::newRow("last byte never counts") << QByteArray("ab\0cdef", 7) << 3 << "cde";
        QTest::newRow("run cut to below N by the end") << QByteArray("ab\0cde", 6) << 3 << "";
        QTest::newRow("tilde ends a string") << QByteArray("abc~def\0", 8) << 3 << "abcdef";
        QTest::newRow("strings run together") << QByteArray("xy\1uvw\2z\3", 9) << 1 << "xyuvwz";
        QTest::newRow("N longer than any run") << QByteArray("abcdefgh\0", 9) << 9 << "";
    }
    void stringsOfAtLeastN()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, n);
        QFETCH(QString, shown);
        view->tglPrintASCII->setChecked(true);
        view->spnLength->setValue(n);
        const int row = view->currentRow();
        auto p = plotFrame(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        QCOMPARE(p.line, shown.isEmpty() ? QString() : prefixOf(p.number) + shown);
        QCOMPARE(view->currentRow(), shown.isEmpty() ? row : row + FrmVis1::kRowPitch);
    }

    void aStringMayRunPastTheLineWidth()
    {
        view->tglPrintASCII->setChecked(true);
        auto frame = textFrame("", 301);
        std::fill(frame.begin(), frame.end() - 1, uint8_t('s'));
        auto p = plotFrame(frame);
        // One 300-character string: the count is only looked at between strings.
        QCOMPARE(p.line, prefixOf(p.number) + QString(300, 's'));
    }

    void stringControlsFollowTheToggle()
    {
        view->tglPrintASCII->setChecked(true);
        QVERIFY(view->spnLength->isVisible());
        QVERIFY(view->lblLength->isVisible());
        view->spnLength->setValue(12);
        QCOMPARE(view->spnLength->value(), 9);
        QCOMPARE(view->lblLength->text(), QString("9"));
        view->spnLength->setValue(0);
        QCOMPARE(view->lblLength->text(), QString("1"));
        // Drawn lines stay.
        plotFrame(printableFrame(60));
        view->tglPrintASCII->setChecked(false);
        QCOMPARE(view->currentRow(), FrmVis1::kRowPitch);
        QVERIFY(!view->spnLength->isVisible());
    }

    void lineIsDrawnInTheProtocolColour()
    {
        auto frame = frames::ipv4(120, 17, 1000, 53, 5, 'M');
        plotFrame(frame);
        const QImage& img = view->picGraph->image();
        bool found = false;
        for (int y = 0; y < FrmVis1::kRowPitch && !found; ++y)
            for (int x = 0; x < img.width() && !found; ++x) found = view->picGraph->point(x, y) == udpColor;
        QVERIFY(found);
    }

    void rowsRainDownOverABlankBandAndWrap()
    {
        sizePicture(40, 127);
        const int h = view->picGraph->scaleHeight();
        int expected = 0, lowestRow = 0, wraps = 0;
        for (int k = 0; k < 12; ++k) {
            const int row = view->currentRow();
            QCOMPARE(row, expected);
            lowestRow = std::max(lowestRow, row);
            plotFrame(printableFrame(60));
            // The next row gets a whole row's height, or writing starts again at the top.
            expected = row + 2 * FrmVis1::kRowPitch <= h ? row + FrmVis1::kRowPitch : 0;
            wraps += expected == 0;
            // The newest line is drawn, the band under it blank.
            QVERIFY(!rowsBlank(view->picGraph, row, row + FrmVis1::kRowPitch - 1));
            QVERIFY(rowsBlank(view->picGraph, view->currentRow(), view->currentRow() + FrmVis1::kRowPitch - 1));
        }
        QCOMPARE(wraps, 1);
        QCOMPARE(lowestRow, 105);   // 127 pixels: rows 0, 15, ..., 105; a row at 120 would be cut off
    }

    void thumbnailLineIsProportionalToSize()
    {
        PictureSurface* thumb = frmMain()->picVis(1);
        const int width = thumb->scaleWidth();
        QCOMPARE(width, 81);
        thumb->line(0, 1, width, 1, rgb(255, 255, 255));   // the row the next packet erases

        frmVis1()->plotThumbnail({1, nullptr, 1518, nullptr});
        QCOMPARE(thumb->point(width - 1, 0), rgb(0, 255, 0));
        QCOMPARE(thumb->point(0, 1), thumb->backColor());
        QCOMPARE(view->thumbRow(), 1);

        frmVis1()->plotThumbnail({2, nullptr, 759, nullptr});
        const int half = FrmVis1::scaleRange(759, width);
        QCOMPARE(half, 40);   // 40.5 goes to the even neighbour, 41.5 too
        QCOMPARE(FrmVis1::scaleRange(759, 83), 42);
        QCOMPARE(FrmVis1::scaleRange(759, 0), 0);
        QCOMPARE(thumb->point(half, 1), rgb(0, 255, 0));
        QCOMPARE(thumb->point(half + 1, 1), thumb->backColor());
    }

    void thumbnailRowWrapsOnThePicture()
    {
        PictureSurface* thumb = frmMain()->picVis(1);
        const int h = thumb->scaleHeight();
        for (int k = 0; k < h; ++k) frmVis1()->plotThumbnail({k, nullptr, 1518, nullptr});
        QCOMPARE(view->thumbRow(), 0);
        QCOMPARE(thumb->point(0, h - 1), rgb(0, 255, 0));   // the last row was drawn, not lost
        QCOMPARE(thumb->point(0, 0), thumb->backColor());    // the next row waits erased
        view->clear();
        QCOMPARE(view->thumbRow(), 0);
        QVERIFY(rowsBlank(thumb, 0, h - 1));
    }

    void modeChangesClearTheView()
    {
        plotFrame(printableFrame(60));
        QTest::mouseDClick(view->picGraph, Qt::LeftButton);
        QCOMPARE(view->cmbVisMode->currentIndex(), 1);
        QCOMPARE(view->currentRow(), 0);
        QVERIFY(rowsBlank(view->picGraph, 0, 20));
        QVERIFY(!view->tglPrintASCII->isVisible());

        plotFrame(printableFrame(60));
        QTest::mouseDClick(view->picGraph, Qt::LeftButton);
        QCOMPARE(view->cmbVisMode->currentIndex(), 2);
        QTest::mouseDClick(view->picGraph, Qt::LeftButton);
        QCOMPARE(view->cmbVisMode->currentIndex(), 0);
        QVERIFY(view->tglPrintASCII->isVisible());

        plotFrame(printableFrame(60));
        view->cmbVisMode->setCurrentIndex(2);
        QCOMPARE(view->currentRow(), 0);
        QVERIFY(rowsBlank(view->picGraph, 0, 20));
    }

    void resizingKeepsTheMinimumAndRestarts()
    {
        plotFrame(printableFrame(60));
        view->resize(50, 50);
        QCOMPARE(view->size(), QSize(133, 200));
        QCOMPARE(view->picGraph->geometry(), QRect(0, 0, 133, 200 - kControlBand));
        QCOMPARE(view->currentRow(), 0);
        QVERIFY(rowsBlank(view->picGraph, 0, view->picGraph->scaleHeight() - 1));
        QVERIFY(view->cmbVisMode->geometry().top() >= view->picGraph->geometry().bottom());
        QVERIFY(view->tglEther->geometry().bottom() < view->height());
        QCOMPARE(view->picGraphBack->size(), view->picGraph->size());
    }

    void screenshotWritesThePicture()
    {
        plotFrame(printableFrame(60));
        ScreenshotLog log;
        view->ScreenShot("20261205_152653", log);
        QCOMPARE(log.written, QStringList{screenshotPath("20261205_152653", "_textrainfall.bmp")});
        QImage saved(log.written.first());
        QFile::remove(log.written.first());
        QCOMPARE(saved.size(), view->picGraph->image().size());
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), view->picGraph->image());
    }
};

QTEST_MAIN(TestTextRainfall)
#include "test_textrainfall.moc"
