// The picture surface: drawing into the persistent image, block copies, BMP files.
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include "platform/PictureSurface.h"

class TestPicture : public QObject {
    Q_OBJECT

private slots:
    void drawingIsClippedAndSurvivesAResize()
    {
        PictureSurface pic;
        pic.resize(10, 5);
        pic.setBackColor(rgb(0, 0, 64));
        pic.pset(-1, 0, rgb(255, 0, 0));   // outside: ignored
        pic.pset(10, 4, rgb(255, 0, 0));
        pic.pset(9, 4, rgb(1, 2, 3));
        QCOMPARE(pic.point(9, 4), rgb(1, 2, 3));
        pic.line(-5, 2, 50, 2, rgb(0, 255, 0));   // clipped at both ends
        QCOMPARE(pic.point(0, 2), rgb(0, 255, 0));
        QCOMPARE(pic.point(9, 2), rgb(0, 255, 0));
        const ColorRef run[] = {rgb(5, 5, 5), PictureSurface::kNoColor, rgb(6, 6, 6), rgb(7, 7, 7)};
        pic.setPixels(-1, 2, run, 4);   // the first falls left of the picture, the second keeps the line
        QCOMPARE(pic.point(0, 2), rgb(0, 255, 0));
        QCOMPARE(pic.point(2, 2), rgb(7, 7, 7));
        pic.setPixels(8, 3, run, 4);
        QCOMPARE(pic.point(8, 3), rgb(5, 5, 5));
        QCOMPARE(pic.point(9, 3), rgb(0, 0, 64));
        pic.fillBox(8, 0, 20, 1, rgb(9, 9, 9));
        QCOMPARE(pic.point(9, 1), rgb(9, 9, 9));
        QCOMPARE(pic.point(7, 1), rgb(0, 0, 64));

        pic.resize(20, 8);
        QCOMPARE(pic.point(9, 4), rgb(1, 2, 3));
        QCOMPARE(pic.point(19, 7), rgb(0, 0, 64));
        pic.cls();
        QCOMPARE(pic.point(9, 4), rgb(0, 0, 64));
    }

    void printAdvancesToTheNextLine()
    {
        PictureSurface pic;
        pic.resize(200, 60);
        pic.setDrawFont(QFont("Courier New", 10));
        pic.setForeColor(rgb(255, 255, 255));
        pic.setCurrentX(5);
        pic.setCurrentY(3);
        pic.print("MMMM");
        QCOMPARE(pic.currentX(), 0);
        QCOMPARE(pic.currentY(), 3 + pic.textHeight());
        bool inked = false;
        for (int x = 5; x < 5 + pic.textWidth("MMMM"); ++x)
            for (int y = 3; y < 3 + pic.textHeight(); ++y) inked |= pic.point(x, y) != rgb(0, 0, 0);
        QVERIFY(inked);
        QCOMPARE(pic.point(4, 3 + pic.textHeight() / 2), rgb(0, 0, 0));
    }

    void blockCopyBetweenAndWithinPictures()
    {
        PictureSurface a, b;
        a.resize(6, 6);
        b.resize(6, 6);
        for (int y = 0; y < 6; ++y) a.line(0, y, 5, y, rgb(y * 10, 0, 0));   // row y is red y*10
        PictureSurface::blockCopy(b, 1, 1, 3, 2, a, 0, 2);
        QCOMPARE(b.point(1, 1), rgb(20, 0, 0));
        QCOMPARE(b.point(3, 2), rgb(30, 0, 0));
        QCOMPARE(b.point(4, 1), rgb(0, 0, 0));
        QCOMPARE(b.point(1, 3), rgb(0, 0, 0));

        // Scrolling within one picture, down and back up by a row, keeps every row intact.
        PictureSurface::blockCopy(a, 0, 1, 6, 5, a, 0, 0);
        for (int y = 1; y < 6; ++y) QCOMPARE(a.point(2, y), rgb((y - 1) * 10, 0, 0));
        PictureSurface::blockCopy(a, 0, 0, 6, 5, a, 0, 1);
        for (int y = 0; y < 5; ++y) QCOMPARE(a.point(2, y), rgb(y * 10, 0, 0));

        // Blocks reaching outside either picture are clipped.
        PictureSurface::blockCopy(b, -1, -1, 3, 3, a, 0, 0);   // source (1, 1) lands at (0, 0)
        QCOMPARE(b.point(0, 0), rgb(10, 0, 0));
        QCOMPARE(b.point(2, 2), rgb(30, 0, 0));   // outside the clipped block: as before
        PictureSurface::blockCopy(b, 4, 4, 10, 10, a, -2, -2);   // lands wholly outside b
        QCOMPARE(b.point(5, 5), rgb(0, 0, 0));
    }

    void scrollingMovesRowsUnderEveryDrawingCall()
    {
        PictureSurface a, b;
        a.resize(4, 5);
        b.resize(4, 5);
        for (int y = 0; y < 5; ++y) a.line(0, y, 3, y, rgb(10 * y + 10, 0, 0));
        a.scrollRows(2);
        a.scrollRows(-1);   // rows: back, 10, 20, 30, back
        QCOMPARE(a.point(1, 0), rgb(0, 0, 0));
        QCOMPARE(a.point(1, 1), rgb(10, 0, 0));
        QCOMPARE(a.point(1, 4), rgb(0, 0, 0));
        // Pixels, painters (a slanted line), the image, copies and a resize see the rows where they now are.
        a.pset(0, 4, rgb(1, 1, 1));
        a.line(2, 0, 2, 1, rgb(3, 3, 3));
        QCOMPARE(a.image().pixel(1, 2), QColor(20, 0, 0).rgb());
        QCOMPARE(a.image().pixel(0, 4), QColor(1, 1, 1).rgb());
        a.scrollRows(1);
        PictureSurface::blockCopy(b, 0, 0, 4, 5, a, 0, 0);
        QCOMPARE(b.point(2, 1), rgb(3, 3, 3));
        QCOMPARE(b.point(1, 4), rgb(30, 0, 0));
        a.resize(4, 7);
        QCOMPARE(a.point(1, 2), rgb(10, 0, 0));
        QCOMPARE(a.point(1, 6), rgb(0, 0, 0));
        a.scrollRows(-7);   // the whole height: all erased
        QCOMPARE(a.point(1, 2), rgb(0, 0, 0));
    }

    void bmpFiles()
    {
        QTemporaryDir dir;
        PictureSurface pic;
        pic.resize(7, 3);
        pic.setBackColor(rgb(10, 20, 30));
        pic.pset(6, 2, rgb(200, 100, 50));
        const QString path = dir.filePath("shot.bmp");
        QVERIFY(pic.saveBmp(path));
        QCOMPARE(QImageReader(path).format(), QByteArray("bmp"));
        const QImage back(path);
        QCOMPARE(back.size(), QSize(7, 3));
        QCOMPARE(QColor(back.pixel(6, 2)), QColor(200, 100, 50));
        QCOMPARE(QColor(back.pixel(0, 0)), QColor(10, 20, 30));

        QString reason;
        QVERIFY(!pic.saveBmp(dir.filePath("missing/shot.bmp"), &reason));
        QVERIFY(!reason.isEmpty());
    }
};

QTEST_MAIN(TestPicture)
#include "test_picture.moc"
