// The playback window's buffer-range slider, its ranges past 16-bit packet
// numbers, an empty store, and closing the window while it plays.
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>

#include "playback/BufferRangeSlider.h"
#include "support/PlaybackFixture.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

using Call = RecordingView::Call;

namespace {
// The track is 300 px wide, the thumbs 17 px, the upper one resting 4 px
// short of the right end: usable = 300 - 17 - 17 = 266, upper thumb at 279.
constexpr int kUsable = 266;
constexpr int kUpperRest = 279;

QList<int32_t> numbers(int32_t first, int32_t last)
{
    QList<int32_t> n;
    for (int32_t p = first; p <= last; ++p) n.append(p);
    return n;
}
}

class TestPlaybackRange : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    std::unique_ptr<RecordingViews> views;
    FrmFilters* w = nullptr;

    RecordingView& view() { return (*views)[1]; }
    PictureSurface* lower() const { return w->picBufferSlider->sliderBufferMin; }
    PictureSurface* upper() const { return w->picBufferSlider->sliderBufferMax; }
    QString range() const { return w->lblBufferRange->text(); }

    // Grabs the thumb at its middle, moves the mouse dx pixels and lets go.
    void drag(PictureSurface* thumb, int dx)
    {
        const QPoint grab(8, 8);
        QTest::mousePress(thumb, Qt::LeftButton, {}, grab);
        QTest::mouseMove(thumb, grab + QPoint(dx, 0));
        QTest::mouseRelease(thumb, Qt::LeftButton, {}, grab);
        playback::settle();
    }
    void useStoreOf(int packets)
    {
        playback::emptyStore();
        playback::addPackets(packets);
        w = playback::freshWindow();
        views->forget();
    }

private slots:
    void init()
    {
        views = std::make_unique<RecordingViews>();
        useStoreOf(20);
    }
    void cleanup()
    {
        frmFilters()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        views.reset();
    }

    void thumbsAtTheOuterLimitsPickEveryHeldPacket()
    {
        QCOMPARE(lower()->geometry(), QRect(0, 2, 17, 17));
        QCOMPARE(upper()->geometry(), QRect(kUpperRest, 2, 17, 17));
        QCOMPARE(w->picBufferSlider->height(), 21);   // 310 twips
        drag(lower(), 0);
        QCOMPARE(range(), QString("1 - 20"));
        QCOMPARE((*views)[2].count(Call::InitBuffer), 1);
        QCOMPARE((*views)[4].count(Call::InitBuffer), 1);
        QCOMPARE(view().plotted(), numbers(1, 20));
    }

    void thumbsInsideTheTrackPickAStretch()
    {
        // 133 / 266 of the 19 steps above packet 1 is 9.5, which rounds to 10.
        drag(lower(), 133);
        QCOMPARE(lower()->x(), 133);
        QCOMPARE(range(), QString("11 - 20"));
        QCOMPARE(view().plotted(), numbers(11, 20));

        // Upper thumb to 179: (179 - 17 + 4) / 266 * 19 = 11.86, so packet 13.
        view().forget();
        drag(upper(), -100);
        QCOMPARE(upper()->x(), 179);
        QCOMPARE(range(), QString("11 - 13"));
        QCOMPARE(view().plotted(), numbers(11, 13));
    }

    void dragsStopAtTheLimits()
    {
        QTest::mousePress(lower(), Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(w->picBufferSlider->sliderBufferMinTag, QString("mindown"));
        QTest::mouseMove(lower(), QPoint(1000, 8));
        QCOMPARE(lower()->x(), kUpperRest - 17 - 1);   // one pixel short of the upper thumb
        QTest::mouseRelease(lower(), Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(w->picBufferSlider->sliderBufferMinTag, QString("minoff"));
        playback::settle();
        QCOMPARE(range(), QString("20 - 20"));   // the narrowest range is still one packet

        // A move without a drag does nothing.
        QMouseEvent stray(QEvent::MouseMove, QPointF(-500, 8), QPointF(), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(lower(), &stray);
        QCOMPARE(lower()->x(), kUpperRest - 18);

        drag(lower(), -1000);
        QCOMPARE(lower()->x(), 0);
        drag(upper(), -1000);
        QCOMPARE(upper()->x(), 18);   // one pixel right of the lower thumb
        QCOMPARE(w->picBufferSlider->sliderBufferMaxTag, QString());
        QCOMPARE(range(), QString("1 - 1"));
        drag(lower(), 5);
        QCOMPARE(lower()->x(), 0);   // no room to the right
        drag(upper(), 1000);
        QCOMPARE(upper()->x(), kUpperRest);
        QCOMPARE(range(), QString("1 - 20"));
    }

    void thumbsMoveByKeyboard()
    {
        lower()->setFocus();
        QTest::keyClick(lower(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(lower(), Qt::Key_Right);
        QCOMPARE(lower()->x(), 11);
        playback::settle();
        QCOMPARE(range(), QString("2 - 20"));   // 11 / 266 * 19 = 0.79
        upper()->setFocus();
        QTest::keyClick(upper(), Qt::Key_Right);   // already at its limit
        QCOMPARE(upper()->x(), kUpperRest);
    }

    void rangesPastSixteenBits()
    {
        useStoreOf(30001);
        QCOMPARE(w->lblPacketCounter->text(), QString("2"));   // Stopped at the oldest held packet
        QCOMPARE(w->lblPacketMin->text(), QString("2"));
        QCOMPARE(w->lblPacketMax->text(), QString("30001"));
        QCOMPARE(w->scrPacket->minimum(), 2);
        QCOMPARE(w->scrPacket->maximum(), 30001);
        QCOMPARE(w->scrPacket->value(), 2);

        // Packets added while the window is open move its range along.
        playback::addPackets(40000 - 30001);
        QCOMPARE(w->lblPacketCounter->text(), QString("40000"));
        QCOMPARE(w->lblPacketMin->text(), QString("10001"));
        QCOMPARE(w->lblPacketMax->text(), QString("40000"));
        QCOMPARE(w->scrPacket->minimum(), 10001);
        QCOMPARE(w->scrPacket->maximum(), 40000);

        w->initFilters();
        QCOMPARE(range(), QString("10001 - 40000"));
        QCOMPARE(w->lblRangeMax->text(), QString("40000"));

        w->scrPacket->setValue(35000);
        playback::settle();
        QCOMPARE(view().plotted(), QList<int32_t>{35000});

        QTest::mouseClick(w->tglLoop, Qt::LeftButton);
        QTest::mouseClick(w->btnPlay, Qt::LeftButton);
        w->scrPacket->setValue(40000);
        playback::settle();
        view().forget();
        w->tick();
        QCOMPARE(w->scrPacket->value(), 10001);
        QCOMPARE(view().plotted(), QList<int32_t>{10001});

        drag(upper(), 0);
        QCOMPARE(range(), QString("10001 - 40000"));
    }

    void emptyStoreDrawsNothing()
    {
        useStoreOf(0);
        QCOMPARE(w->lblPacketCounter->text(), QString("0"));
        QCOMPARE(w->lblPacketMin->text(), QString("1"));
        QCOMPARE(w->lblPacketMax->text(), QString("Max"));   // nothing counted yet

        playback::addPackets(5);
        resetBuffer("file");   // answered Yes
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(w->lblPacketCounter->text(), QString("0"));
        QCOMPARE(w->lblPacketMin->text(), QString("1"));
        QCOMPARE(w->lblPacketMax->text(), QString("0"));
        QVERIFY(!w->scrPacket->isEnabled());
        views->forget();

        QTest::mouseClick(w->btnStepForward, Qt::LeftButton);
        QTest::mouseClick(w->btnStepBackward, Qt::LeftButton);
        w->scrPacket->setValue(3);
        w->scrPacket->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        playback::settle();
        QTest::mouseClick(w->tglLoop, Qt::LeftButton);
        w->tick();
        QCOMPARE(w->lblPacketCounter->text(), QString("0"));

        QTest::mouseClick(w->btnPlay, Qt::LeftButton);
        QTRY_VERIFY(!w->tmrPlayTimer->isActive());   // the first tick finds nothing to play
        QVERIFY(!w->btnPlay->isChecked());

        drag(lower(), 0);
        QCOMPARE(range(), QString("1 - 0"));
        w->initFilters();
        QCOMPARE(range(), QString("1 - 0"));
        QCOMPARE(w->lblRangeMax->text(), QString("0"));
        QCOMPARE(view().plotted(), QList<int32_t>{});
        QCOMPARE(view().count(Call::Thumbnail), 0);
    }

    void closingWhilePlayingStopsTheTimer()
    {
        QTest::mouseClick(w->btnPlay, Qt::LeftButton);
        const QPointer<FrmFilters> old(w);
        const QPointer<QTimer> oldTimer(w->tmrPlayTimer);
        w->close();
        QVERIFY(!oldTimer->isActive());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!old);
        FrmFilters* fresh = frmFilters();
        QVERIFY(!fresh->tmrPlayTimer->isActive());
        QVERIFY(fresh->btnStop->isChecked());
        QCOMPARE(fresh->scrPacket->maximum(), 20);
    }

    // The close box destroys the window in the middle of a drawing it started.
    void closingInTheMiddleOfADrawing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("tick") << 0;
        QTest::newRow("step") << 1;
        QTest::newRow("scroll arrow") << 2;
        QTest::newRow("buffer range") << 3;
    }
    void closingInTheMiddleOfADrawing()
    {
        QFETCH(int, how);
        QTest::mouseClick(w->btnPlay, Qt::LeftButton);
        const QPointer<FrmFilters> old(w);
        view().onPlot = [&](int32_t) {
            view().onPlot = nullptr;
            old->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        switch (how) {
        case 0: w->tick(); break;
        case 1: QTest::mouseClick(w->btnStepForward, Qt::LeftButton); break;
        case 2: {   // a click on the bar's right arrow
            QScrollBar* bar = w->scrPacket;
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
            playback::settle();
            break;
        }
        default: drag(upper(), -50); break;
        }
        QVERIFY(!old);
        QVERIFY(!view().plotted().isEmpty());
        FrmFilters* fresh = frmFilters();
        QVERIFY(!fresh->tmrPlayTimer->isActive());
        QCOMPARE(fresh->scrPacket->value(), 1);
    }

    void aTickDuringADrawingWaitsForIt()
    {
        QTest::mouseClick(w->btnPlay, Qt::LeftButton);
        bool inside = false, nested = false;
        view().onPlot = [&](int32_t n) {
            nested = nested || inside;
            inside = true;
            if (n == 2) w->tick();   // the timer fires while packet 2 draws
            inside = false;
        };
        w->tick();
        QVERIFY(!nested);
        QCOMPARE(view().plotted(), (QList<int32_t>{2, 3}));   // the waiting tick ran after it
        QCOMPARE(w->scrPacket->value(), 3);

        view().forget();
        view().onPlot = [&](int32_t) {
            view().onPlot = nullptr;
            w->tick();
            QTest::mouseClick(w->btnStop, Qt::LeftButton);   // stopped while drawing
        };
        w->tick();
        QCOMPARE(view().plotted(), QList<int32_t>{4});   // the waiting tick was dropped
        QCOMPARE(w->scrPacket->value(), 1);
    }
};

QTEST_MAIN(TestPlaybackRange)
#include "test_playback_range.moc"
