// Views as a user finds them: the detail view shows whole rows at every font
// size and size of window, with its font-size row at the bottom; picking the
// text rainfall's current mode again starts the view afresh.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTest>
#include <array>

#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "platform/twips.h"
#include "support/frames.h"
#include "vis/frmVis1.h"
#include "vis/frmVis7.h"

class TestViewMends : public QObject {
    Q_OBJECT

private slots:
    void detailViewShowsWholeRows_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QSize>("size");
        const QSize sizes[] = {{twips(2000), twips(3000)}, {520, 420}, {777, 913}};
        for (int points : {8, 13, 24})
            for (const QSize& s : sizes)
                QTest::addRow("%d pt, %dx%d", points, s.width(), s.height()) << points << s;
    }
    void detailViewShowsWholeRows()
    {
        QFETCH(int, points);
        QFETCH(QSize, size);
        FrmVis7* w = frmVis7();
        w->show();
        w->spnFontSize->setValue(points);
        w->resize(size);
        QCoreApplication::processEvents();
        for (QPlainTextEdit* box : {w->txtASCII, w->txtHex}) {
            const int text = box->viewport()->height() - 2 * int(box->document()->documentMargin());
            QCOMPARE(text % box->fontMetrics().lineSpacing(), 0);
            QVERIFY(text >= box->fontMetrics().lineSpacing());
        }
        QVERIFY(w->txtHex->geometry().bottom() < w->spnFontSize->geometry().top());
        QVERIFY2(w->height() - 1 - w->spnFontSize->geometry().bottom() <= 4, "no band under the font-size row");
        QVERIFY(w->spnFontSize->geometry().bottom() < w->height());
    }

    void pickingTheShownModeAgainStartsAfresh()
    {
        FrmVis1* w = frmVis1();
        w->show();
        const auto frame = frames::ipv4(200, 6, 1, 2, 5, 'A');
        std::array<uint8_t, kSlotBytes> work{};
        std::copy(frame.begin(), frame.end(), work.begin());
        const int32_t n = addPacket(frame.data(), int(frame.size()) - 1);
        w->Plot({n, work.data(), int(frame.size()), nullptr});
        auto drawn = [&] {
            const QImage& image = w->picGraph->image();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (w->picGraph->point(x, y) != w->picGraph->backColor()) return true;
            return false;
        };
        QVERIFY(drawn());
        emit w->cmbVisMode->activated(w->cmbVisMode->currentIndex());   // the user picks the entry shown
        QVERIFY(!drawn());
    }
};

QTEST_MAIN(TestViewMends)
#include "test_view_mends.moc"
