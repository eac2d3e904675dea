// The playback window's buffer-range slider, its ranges past 16-bit packet
// numbers, an empty store, and closing the window while it plays.
#include <QMouseEvent>

#include "playback/BufferRangeSlider.h"
#include "support/PlaybackFixture.h"

namespace {
// The track is 300 px wide, the thumbs 17 px, the upper one resting 4 px
// short of the right end: usable = 300 - 17 - 17 = 266, upper thumb at 279.
constexpr int kUpperRest = 279;

QList<int32_t> numbers(int32_t first, int32_t last)
{
    QList<int32_t> n;
    for (int32_t p = first; p <= last; ++p) n.append(p);
    return n;
}
}

class TestPlaybackRange : public PlaybackFixture {
    Q_OBJECT
    PictureSurface* lower() const { return w->picBufferSlider->sliderBufferMin; }
    PictureSurface* upper() const { return w->picBufferSlider->sliderBufferMax; }
    QString range() const { return w->lblBufferRange->text(); }
    // The counter, the held range's labels and the scroll bar's range.
    QString packetLabels() const
    {
        return QString("%1 [%2 %3] %4..%5").arg(counter(), w->lblPacketMin->text(), w->lblPacketMax->text())
            .arg(w->scrPacket->minimum()).arg(w->scrPacket->maximum());
    }
    // Grabs the thumb at its middle, moves the mouse dx pixels and lets go.
    void drag(PictureSurface* thumb, int dx)
    {
        const QPoint grab(8, 8);
        QTest::mousePress(thumb, Qt::LeftButton, {}, grab);
        QTest::mouseMove(thumb, grab + QPoint(dx, 0));
        QTest::mouseRelease(thumb, Qt::LeftButton, {}, grab);
        settle();
    }

private slots:
    void init() { open(20); }
    void cleanup() { finish(); }

    void thumbsPickTheRangeToDraw()
    {
        drag(lower(), 0);   // at the outer limits: every held packet
        QCOMPARE(range(), QString("1 - 20"));
        for (int k : {2, 4}) QCOMPARE(view(k).calls.count({Call::InitBuffer, 0}), 1);
        QCOMPARE(view().plotted(), numbers(1, 20));

        // 133 / 266 of the 19 steps above packet 1 is 9.5, which rounds to 10.
        views.forget();
        drag(lower(), 133);
        QCOMPARE(range(), QString("11 - 20"));
        QCOMPARE(view().plotted(), numbers(11, 20));
        // Upper thumb to 179: (179 - 17 + 4) / 266 * 19 = 11.86, so packet 13.
        views.forget();
        drag(upper(), -100);
        QCOMPARE(range(), QString("11 - 13"));
        QCOMPARE(view().plotted(), numbers(11, 13));

        lower()->setFocus();   // by keyboard: 10 px with Shift, 1 without
        QTest::keyClick(lower(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(lower(), Qt::Key_Left);
        QCOMPARE(lower()->x(), 122);
        settle();
        QCOMPARE(range(), QString("10 - 13"));   // 122 / 266 * 19 = 8.71
    }

    void dragsStopAtTheLimits()
    {
        drag(lower(), 1000);
        QCOMPARE(lower()->x(), kUpperRest - 17 - 1);   // one pixel short of the upper thumb
        QCOMPARE(range(), QString("20 - 20"));   // the narrowest range is still one packet
        QMouseEvent stray(QEvent::MouseMove, QPointF(-500, 8), QPointF(), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(lower(), &stray);   // a move without a drag does nothing
        QCOMPARE(lower()->x(), kUpperRest - 18);

        drag(lower(), -1000);
        drag(upper(), -1000);
        QCOMPARE(upper()->x(), 18);   // one pixel right of the lower thumb
        QCOMPARE(range(), QString("1 - 1"));
        drag(upper(), 1000);
        upper()->setFocus();
        QTest::keyClick(upper(), Qt::Key_Right);
        QCOMPARE(upper()->x(), kUpperRest);
        QCOMPARE(range(), QString("1 - 20"));
    }

    void rangesPastSixteenBits()
    {
        open(30001);
        QCOMPARE(packetLabels(), QString("2 [2 30001] 2..30001"));   // Stopped at the oldest held packet
        addPackets(40000 - 30001);   // added while the window is open: the range moves along
        QCOMPARE(packetLabels(), QString("40000 [10001 40000] 10001..40000"));
        w->initFilters();
        QCOMPARE(range() + ", " + w->lblRangeMax->text(), QString("10001 - 40000, 40000"));

        moveTo(35000);
        QCOMPARE(view().plotted(), QList<int32_t>{35000});
        click(w->tglLoop);
        click(w->btnPlay);
        moveTo(40000);
        views.forget();
        w->tick();
        QCOMPARE(view().plotted(), QList<int32_t>{10001});
        drag(upper(), 0);
        QCOMPARE(range(), QString("10001 - 40000"));
    }

    void emptyStoreDrawsNothing()
    {
        open(0);
        QCOMPARE(packetLabels(), QString("0 [1 Max] 1..1"));   // nothing counted yet
        addPackets(5);
        resetBuffer("file");   // answered Yes
        QCOMPARE(packetLabels(), QString("0 [1 0] 1..1"));
        QVERIFY(!w->scrPacket->isEnabled());

        views.forget();
        click(w->btnStepForward);
        click(w->btnStepBackward);
        click(w->btnPlay);
        QTRY_VERIFY(!playing());   // the first tick finds nothing to play
        QVERIFY(!w->btnPlay->isChecked());
        drag(lower(), 0);
        QCOMPARE(range(), QString("1 - 0"));
        QCOMPARE(counter(), QString("0"));
        QCOMPARE(view().calls, (Calls{{Call::Clear, 0}}));   // from Play: nothing was drawn
    }

    // The close box destroys the window while it plays: between two ticks, or
    // in the middle of a drawing it started.
    void closingWhilePlaying_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("between ticks") << 0;
        QTest::newRow("tick") << 1;
        QTest::newRow("step") << 2;
        QTest::newRow("scroll arrow") << 3;
        QTest::newRow("buffer range") << 4;
    }
    void closingWhilePlaying()
    {
        QFETCH(int, how);
        click(w->btnPlay);
        const QPointer<FrmFilters> old(w);
        const QPointer<QTimer> oldTimer(w->tmrPlayTimer);
        view().onPlot = [&](int32_t) {
            view().onPlot = nullptr;
            closeWindow(old);
        };
        switch (how) {
        case 0:
            old->close();
            QVERIFY(!oldTimer->isActive());
            closeWindow(old);
            break;
        case 1: w->tick(); break;
        case 2: click(w->btnStepForward); break;
        case 3:   // a click on the bar's right arrow
            QTest::mouseClick(w->scrPacket, Qt::LeftButton, {}, QPoint(w->scrPacket->width() - 4, w->scrPacket->height() / 2));
            settle();
            break;
        default: drag(upper(), -50); break;
        }
        QVERIFY(!old);
        QCOMPARE(view().plotted().isEmpty(), how == 0);
        FrmFilters* fresh = frmFilters();
        QVERIFY(!fresh->tmrPlayTimer->isActive());
        QVERIFY(fresh->btnStop->isChecked());
        QCOMPARE(fresh->scrPacket->value(), 1);
        QCOMPARE(fresh->scrPacket->maximum(), 20);
    }

    void aTickDuringADrawingWaitsForIt()
    {
        click(w->btnPlay);
        int depth = 0, deepest = 0;
        view().onPlot = [&](int32_t n) {
            deepest = std::max(deepest, ++depth);
            if (n == 2) w->tick();   // the timer fires while packet 2 draws
            --depth;
        };
        w->tick();
        QCOMPARE(deepest, 1);
        QCOMPARE(view().plotted(), (QList<int32_t>{2, 3}));   // the waiting tick ran after it

        views.forget();
        view().onPlot = [&](int32_t) {
            view().onPlot = nullptr;
            w->tick();
            click(w->btnStop);   // stopped while drawing
        };
        w->tick();
        QCOMPARE(view().plotted(), QList<int32_t>{4});   // the waiting tick was dropped
        QCOMPARE(position(), 1);
    }
};

QTEST_MAIN(TestPlaybackRange)
#include "test_playback_range.moc"
