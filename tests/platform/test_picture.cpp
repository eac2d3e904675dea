// The picture surface: drawing clipped to the persistent image, and rows
// scrolled in a ring under every other drawing call, and never saved into a
// pipe. The file dialogs never read a file to show it. A window closed
// during long work lives until the work has ended.
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <random>
#include <sys/stat.h>

#include "platform/DialogLayer.h"
#include "platform/PictureSurface.h"
#include "platform/yieldPoint.h"
#include "ui/FormWindow.h"
#include "support/watchdog.h"

namespace {
constexpr ColorRef kBack = rgb(0, 0, 0);
ColorRef red(int r) { return rgb(r, 0, 0); }
}

class TestPicture : public QObject {
    Q_OBJECT

private slots:
    // The dialog shows a file by its name alone: a file without an extension
    // that begins like a PDF is a "File", not a "PDF document", so a kernel
    // file such as /proc/kmsg, whose read never returns, is never read. Pipes
    // are listed without being opened, and the dialog closes at once (its
    // closing waits for the thread that looks at the files).
    void fileDialogNeverReadsAFile()
    {
        QTemporaryDir dir;
        for (const char* name : {"pipe", "pipe.nivora"})
            QCOMPARE(::mkfifo(dir.filePath(name).toLocal8Bit().constData(), 0600), 0);
        QFile pdf(dir.filePath("paper"));
        QVERIFY(pdf.open(QIODevice::WriteOnly) && pdf.write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n") > 0);
        pdf.close();
        const Watchdog watchdog("a file dialog beside named pipes", std::chrono::seconds(30));
        auto* dialog = new QFileDialog(nullptr, "Open", dir.path());
        showNamesOnly(*dialog);
        dialog->setFilter(dialog->filter() | QDir::System);   // the pipes listed too
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        auto* model = dialog->findChild<QFileSystemModel*>();
        QVERIFY(model);
        dialog->show();
        QTRY_COMPARE(model->type(model->index(dir.filePath("paper"))), QString("File"));   // found by a thread
        QTRY_COMPARE(model->type(model->index(dir.filePath("pipe.nivora"))), QString("Special file"));
        delete dialog;
    }

    // A pipe named like a screenshot is not written into: that waits for a reader.
    void savingIntoAPipeIsRefused()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath("shot.bmp");
        QCOMPARE(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
        PictureSurface pic;
        pic.resize(4, 4);
        const Watchdog watchdog("saving into a pipe", std::chrono::seconds(20));
        QString reason;
        QVERIFY(!pic.saveBmp(pipe, &reason));
        QCOMPARE(reason, QString("not a regular file"));
    }

    // Whatever reaches past an edge is dropped, never wrapped into the next row.
    void drawingIsClippedAndSurvivesAResize()
    {
        PictureSurface pic;
        pic.resize(10, 5);
        pic.pset(9, 4, rgb(1, 2, 3));
        pic.pset(10, 3, red(255));   // past the end of row 3, not the start of row 4
        pic.line(-5, 2, 50, 2, rgb(0, 255, 0));
        const ColorRef run[] = {rgb(5, 5, 5), PictureSurface::kNoColor, rgb(6, 6, 6), rgb(7, 7, 7)};
        pic.setPixels(-1, 2, run, 4);   // the first falls left of the picture, the second keeps the line
        pic.setPixels(8, 3, run, 4);    // the last two fall right of it
        pic.fillBox(8, 0, 20, 1, rgb(9, 9, 9));
        QCOMPARE(pic.point(0, 2), rgb(0, 255, 0));
        QCOMPARE(pic.point(2, 2), rgb(7, 7, 7));
        QCOMPARE(pic.point(0, 4), kBack);
        QCOMPARE(pic.point(9, 1), rgb(9, 9, 9));
        pic.resize(20, 8);
        QCOMPARE(pic.point(9, 4), rgb(1, 2, 3));
    }

    void scrollingMovesRowsUnderEveryDrawingCall()
    {
        PictureSurface a, b;
        a.resize(4, 5);
        b.resize(4, 5);
        for (int y = 0; y < 5; ++y) a.line(0, y, 3, y, red(10 * y + 10));
        a.scrollRows(2);   // rows: back, back, 10, 20, 30
        QCOMPARE(a.point(1, 1), kBack);
        QCOMPARE(a.point(1, 2), red(10));
        // Painters (a line down a column), the image, copies and a resize see the rows where they now are.
        a.line(2, 0, 2, 1, rgb(3, 3, 3));
        QCOMPARE(a.image().pixel(1, 3), QColor(20, 0, 0).rgb());
        a.scrollRows(1);
        PictureSurface::blockCopy(b, 0, 0, 4, 5, a, 0, 0);
        QCOMPARE(b.point(2, 2), rgb(3, 3, 3));
        QCOMPARE(b.point(1, 4), red(20));
        a.resize(4, 7);
        QCOMPARE(a.point(1, 3), red(10));
        a.scrollRows(7);   // the whole height: all erased
        QCOMPARE(a.point(1, 3), kBack);
        // The painter kept open between drawing calls (by a line reaching far
        // out) draws where the rows are after a scroll turned the ring under it.
        PictureSurface pic;
        pic.resize(8, 8);
        pic.line(-20, -20, 27, 27, red(100));
        pic.scrollRows(1);
        pic.line(-20, -20, 27, 27, red(50));
        QCOMPARE(std::pair(pic.point(3, 3), pic.point(3, 4)), std::pair(red(50), red(100)));
    }

    // The work starts from an event, as a click does, and yields twice; the
    // window is closed at the first yield, as by its close box. Deleting it
    // at the second would pull the window from under the handler that runs
    // the work.
    void aWindowClosedDuringLongWorkOutlivesTheWork()
    {
        QPointer<FormWindow> window = new FormWindow("frmWork", "work");
        window->show();
        bool aliveAtTheEnd = false;
        QTimer::singleShot(0, window, [&] {
            QTimer::singleShot(0, window, [&] { window->close(); });
            yieldNow();
            QVERIFY(window->isClosing());
            yieldNow();
            aliveAtTheEnd = !window.isNull();
        });
        QTRY_VERIFY(window.isNull());   // deleted once the loop runs again
        QVERIFY(aliveAtTheEnd);
    }

    // A label stamped across an edge leaves what it leaves on a bigger
    // picture, cut to size: glyphs wholly inside are stamped without tests.
    void labelsStampedAcrossEdges()
    {
        PictureSurface small, big;
        small.resize(30, 24);
        big.resize(110, 80);
        for (PictureSurface* pic : {&small, &big}) pic->setBackColor(rgb(10, 20, 30));
        for (const QPoint at : {QPoint(-7, 3), QPoint(20, -5), QPoint(4, 6), QPoint(-3, -4), QPoint(12, 16)}) {
            PictureSurface::Sketch inSmall(small), inBig(big);
            inSmall.text(at.x() + 1, at.y() + 1, "Ag0,9.W", rgb(64, 64, 64));
            inSmall.text(at.x(), at.y(), "Ag0,9.W", rgb(255, 255, 255));
            inBig.text(at.x() + 41, at.y() + 31, "Ag0,9.W", rgb(64, 64, 64));
            inBig.text(at.x() + 40, at.y() + 30, "Ag0,9.W", rgb(255, 255, 255));
        }
        QCOMPARE(small.image(), big.image().copy(40, 30, 30, 24));
    }

    // Lines drawn without the painter leave exactly what Qt's painter leaves,
    // in every direction, ending on the picture, just past it or far off it,
    // and on rows turned in the ring.
    void linesMatchThePainter()
    {
        std::mt19937 random(7);
        for (const QSize size : {QSize(61, 40), QSize(5, 3), QSize(640, 420)}) {
            PictureSurface pic;
            pic.resize(size);
            pic.scrollRows(size.height() / 3);
            QImage expected(size, QImage::Format_RGB32);
            expected.fill(toPixel(kBack));
            QPainter painter(&expected);
            for (int i = 0; i < 3000; ++i) {
                const int reach = i % 4 == 0 ? 30 : 1;
                std::uniform_int_distribution<int> x(-reach, size.width() - 1 + reach), y(-reach, size.height() - 1 + reach);
                const QLine line(x(random), y(random), x(random), y(random));
                const ColorRef c = rgb(i % 256, 255 - i % 256, 7);
                painter.setPen(toQColor(c));
                painter.drawLine(line);
                pic.line(line.x1(), line.y1(), line.x2(), line.y2(), c);
            }
            painter.end();
            QCOMPARE(pic.image(), expected);
        }
    }
};

QTEST_MAIN(TestPicture)
#include "test_picture.moc"
