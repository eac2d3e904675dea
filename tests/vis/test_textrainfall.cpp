// The text rainfall view: line bounds, the three modes, printable strings,
// rows that rain down over a blank band, the thumbnail, mode changes, resizing.
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <array>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "playback/modVisualize.h"
#include "support/frames.h"
#include "vis/frmVis1.h"
#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

namespace {
constexpr int kControlBand = 1100 / 15;   // pixels under the picture

// Stores the frame (so the view finds its protocol), plots it as the dispatch would
// and returns the line it printed. An ASCII line starts with "<packet number>  "
// (packet -1 has none): that prefix is checked and cut off.
QString plotFrame(const std::vector<uint8_t>& frame, int32_t number = 0)
{
    std::array<uint8_t, kSlotBytes> work{};
    std::copy(frame.begin(), frame.end(), work.begin());
    const int32_t stored = addPacket(frame.data(), int(frame.size()) - 1);
    if (number == 0) number = stored;
    frmVis1()->Plot({number, work.data(), int(frame.size()), nullptr});
    const QString line = frmVis1()->rain().lastLine(), prefix = QString("<%1>  ").arg(number);
    if (number < 0 || line.isEmpty() || frmVis1()->cmbVisMode->currentIndex() != 0) return line;
    return line.startsWith(prefix) ? line.mid(prefix.size()) : "(no prefix) " + line;
}

// The printable characters 32 + i mod 95 for i = first..last, as text and as a frame.
QString printableText(int first, int last)
{
    QString s;
    for (int i = first; i <= last; ++i) s += QChar(32 + i % 95);
    return s;
}
std::vector<uint8_t> printableFrame(int size)
{
    const QByteArray bytes = printableText(0, size - 1).toLatin1();
    return {bytes.begin(), bytes.end()};
}

// True when every pixel of the box (clipped to the picture) has the back colour.
bool blank(const PictureSurface* pic, int top, int bottom, int left = 0, int right = 1 << 20)
{
    const QRect box = QRect(QPoint(left, top), QPoint(right, bottom)).intersected(pic->image().rect());
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (pic->point(x, y) != pic->backColor()) return false;
    return true;
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
        QCOMPARE(view->rain().lineCells(), cells);
    }

private slots:
    void initTestCase()
    {
        frmMain()->show();
        view = frmVis1();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        cell = view->picGraph->textWidth("S");
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

    void lineShowsAtMostOneByteACell_data()
    {
        QTest::addColumn<bool>("strip");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("first");   // the bytes shown
        QTest::addColumn<int>("last");
        QTest::newRow("60 bytes") << false << 60 << 0 << 59;
        QTest::newRow("1514 bytes") << false << 1514 << 0 << 99;
        QTest::newRow("60 bytes, stripped") << true << 60 << 14 << 59;
        QTest::newRow("1514 bytes, stripped") << true << 1514 << 14 << 113;
    }
    void lineShowsAtMostOneByteACell()
    {
        QFETCH(bool, strip);
        QFETCH(int, size);
        QFETCH(int, first);
        QFETCH(int, last);
        view->tglEther->setChecked(strip);
        const int row = view->rain().currentRow();
        QCOMPARE(plotFrame(printableFrame(size), -1), printableText(first, last));   // -1: no prefix
        // A hundred characters reach the picture's last cell.
        QCOMPARE(blank(view->picGraph, row, row + TextRainfall::kRowPitch - 1, 99 * cell, 100 * cell - 1),
                 last - first < 99);
        view->cmbVisMode->setCurrentIndex(1);
        QCOMPARE(plotFrame(printableFrame(size)).size(), 4 * (last - first + 1));
    }

    void strippedShortPacketsGiveEmptyLines_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("ASCII") << 0;
        QTest::newRow("hex") << 1;
        QTest::newRow("decimal") << 2;
    }
    void strippedShortPacketsGiveEmptyLines()
    {
        QFETCH(int, mode);
        view->cmbVisMode->setCurrentIndex(mode);
        view->tglEther->setChecked(true);
        plotFrame(printableFrame(40));
        for (int size : {14, 1}) {
            const int row = view->rain().currentRow();
            QCOMPARE(plotFrame(printableFrame(size)), QString());
            // ASCII prints nothing; the numbers modes advance past an empty line.
            QCOMPARE(view->rain().currentRow(), mode == 0 ? row : row + TextRainfall::kRowPitch);
            QVERIFY(blank(view->picGraph, row, row + TextRainfall::kRowPitch - 1));
        }
    }

    void modesSpellEachByte()
    {
        const auto bytes = frames::bytes({0x41, 0x00, 0x7E, 0x7F, 0x0A, 0xFF, 0x20});
        QCOMPARE(plotFrame(bytes), QString("A.~... "));
        view->cmbVisMode->setCurrentIndex(1);
        QCOMPARE(plotFrame(bytes), QString("41  00  7E  7F  0A  FF  20  "));
        view->cmbVisMode->setCurrentIndex(2);
        QCOMPARE(plotFrame(bytes), QString("65 0 126 127 10 255 32 "));
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
        // The line width is only looked at between strings.
        QTest::newRow("past the line width") << QByteArray(300, 's') + '\0' << 1 << QString(300, 's');
    }
    void stringsOfAtLeastN()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, n);
        QFETCH(QString, shown);
        view->tglPrintASCII->setChecked(true);
        view->spnLength->setValue(n);
        const int row = view->rain().currentRow();
        QCOMPARE(plotFrame(std::vector<uint8_t>(bytes.begin(), bytes.end())), shown);
        QCOMPARE(view->rain().currentRow(), shown.isEmpty() ? row : row + TextRainfall::kRowPitch);
    }

    void lineIsDrawnInTheProtocolColour()
    {
        plotFrame(frames::ipv4(120, 17, 1000, 53, 5, 'M'));
        const QImage& img = view->picGraph->image();
        bool found = false;
        for (int y = 0; y < TextRainfall::kRowPitch && !found; ++y)
            for (int x = 0; x < img.width() && !found; ++x) found = view->picGraph->point(x, y) == rgb(255, 128, 0);
        QVERIFY(found);
    }

    void rowsRainDownOverABlankBandAndWrap()
    {
        sizePicture(40, 127);   // rows 0, 15, ..., 105; a row at 120 would be cut off
        for (int k = 0; k < 12; ++k) {
            const int row = view->rain().currentRow(), next = (k + 1) % 8 * TextRainfall::kRowPitch;
            QCOMPARE(row, k % 8 * TextRainfall::kRowPitch);
            plotFrame(printableFrame(60));
            // The newest line is drawn, the band under it blank.
            QVERIFY(!blank(view->picGraph, row, row + TextRainfall::kRowPitch - 1));
            QVERIFY(blank(view->picGraph, next, next + TextRainfall::kRowPitch - 1));
        }
    }

    void thumbnailLineIsProportionalToSize()
    {
        auto& thumbnail = static_cast<TextRainfallThumbnail&>(*viewThumbnail(viewRow(1)));
        const ThumbnailTarget target = thumbnailTarget(1);
        PictureSurface* thumb = frmMain()->picVis(1);
        QCOMPARE(target.picture, thumb);
        const int width = thumb->scaleWidth();
        thumb->line(0, 1, width, 1, rgb(255, 255, 255));   // the row the next packet erases

        thumbnail.plotThumbnail({1, nullptr, 1518, nullptr}, target);
        QCOMPARE(thumb->point(width - 1, 0), rgb(0, 255, 0));
        QCOMPARE(thumb->point(0, 1), thumb->backColor());

        thumbnail.plotThumbnail({2, nullptr, 759, nullptr}, target);
        QCOMPARE(thumb->point(40, 1), rgb(0, 255, 0));   // 40.5 goes to the even neighbour
        QCOMPARE(TextRainfallThumbnail::scaleRange(759, 0), 0);   // no thumbnail width: no line
        QCOMPARE(thumb->point(41, 1), thumb->backColor());

        // The row wraps on the picture: the last row is drawn, the first waits erased.
        const int h = thumb->scaleHeight();
        for (int k = 2; k < h; ++k) thumbnail.plotThumbnail({k, nullptr, 1518, nullptr}, target);
        QCOMPARE(thumbnail.thumbRow(), 0);
        QCOMPARE(thumb->point(0, h - 1), rgb(0, 255, 0));
        QCOMPARE(thumb->point(0, 0), thumb->backColor());

        // Closing the view does not restart its thumbnail; clearing the views does.
        thumbnail.plotThumbnail({1, nullptr, 1518, nullptr}, target);
        view->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        view = frmVis1();
        addPacket(printableFrame(60).data(), 59);
        displayPackets(getPacketCount(), getPacketCount());
        QCOMPARE(thumbnail.thumbRow(), 2);
        QCOMPARE(thumb->point(0, 0), rgb(0, 255, 0));
        clearVisualizations();
        QCOMPARE(thumbnail.thumbRow(), 0);
        QVERIFY(blank(thumb, 0, h - 1));
        view->show();
    }

    void modeChangesClearTheView()
    {
        for (int next : {1, 2, 0}) {   // a double click selects the next mode
            plotFrame(printableFrame(60));
            QTest::mouseDClick(view->picGraph, Qt::LeftButton);
            QCOMPARE(view->cmbVisMode->currentIndex(), next);
            QCOMPARE(view->rain().currentRow(), 0);
            QVERIFY(blank(view->picGraph, 0, 20));
            QCOMPARE(view->tglPrintASCII->isVisible(), next == 0);
        }
    }

    void resizingKeepsTheMinimumAndRestarts()
    {
        plotFrame(printableFrame(60));
        view->resize(50, 50);
        QCOMPARE(view->picGraph->geometry(), QRect(0, 0, view->width(), view->height() - kControlBand));
        QCOMPARE(view->rain().currentRow(), 0);
        QVERIFY(blank(view->picGraph, 0, view->picGraph->scaleHeight() - 1));
        QVERIFY(view->cmbVisMode->geometry().top() >= view->picGraph->geometry().bottom());
        QVERIFY(view->tglEther->geometry().bottom() < view->height());
    }

    void screenshotWritesThePicture()
    {
        plotFrame(printableFrame(60));
        ScreenshotLog log;
        view->ScreenShot("20261205_152653", log);
        QCOMPARE(log.written, QStringList{screenshotPath("20261205_152653", "_textrainfall.bmp")});
        QImage saved(log.written.first());
        QFile::remove(log.written.first());
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), view->picGraph->image());
    }
};

QTEST_MAIN(TestTextRainfall)
#include "test_textrainfall.moc"
