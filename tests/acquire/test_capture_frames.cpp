// The capture window's frame handler: every frame is stored whole and drawn
// once, as a one-packet range, also once the ring has wrapped.
#include <QTest>

#include "acquire/frmCapture.h"
#include "core/accessors.h"
#include "support/RecordingView.h"
#include "support/frames.h"

namespace {
using Frame = std::vector<uint8_t>;
using Call = RecordingView::Call;

// A UDP frame whose first two bytes and payload carry `marker`, handed to the capture window.
Frame arrive(int size, int marker)
{
    Frame f = frames::ipv4(size, 17, 5353, 53);
    for (int i = 42; i < size; ++i) f[size_t(i)] = uint8_t(marker + i);
    f[0] = uint8_t(marker);
    f[1] = uint8_t(marker >> 8);
    frmCapture()->packetArrived(f.data(), size);
    return f;
}
}

class TestCaptureFrames : public QObject {
    Q_OBJECT
    RecordingViews views;

private slots:
    void init()
    {
        resetBuffer("startup");
        views.forget();
    }

    void frameOfLBytesIsOnePacketWithLastIndexLMinusOne_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("shortest Ethernet") << 60;
        QTest::newRow("full Ethernet") << 1514;
        QTest::newRow("store's limit") << 1601;
    }
    void frameOfLBytesIsOnePacketWithLastIndexLMinusOne()
    {
        QFETCH(int, size);
        const Frame frame = arrive(size, 7);
        QCOMPARE(getPacketCount(), 1);
        QCOMPARE(getPacketLength(1), size - 1);
        QVERIFY(std::equal(frame.begin(), frame.end(), packetBytesOf(1)));
        // Drawn once, straight away.
        QCOMPARE(views[1].calls, (QList<RecordingView::Entry>{{Call::Plot, 1}, {Call::Thumbnail, 1}}));
    }

    void emptyFrameStoresAndDrawsNothing()
    {
        const uint8_t none[1] = {0};
        frmCapture()->packetArrived(none, 0);
        QCOMPARE(getPacketCount(), 0);
        QVERIFY(views[1].calls.isEmpty());
    }

    void ringWrapsWhileCapturing()
    {
        for (int n = 1; n <= kSlotCount; ++n) arrive(60, n);
        QCOMPARE(views[1].count(Call::Plot), kSlotCount);
        views.forget();
        // Frame 30001 overwrites the oldest slot and is drawn by its packet number.
        arrive(100, kSlotCount + 1);
        QCOMPARE(getPacketCount(), kSlotCount + 1);
        QCOMPARE(firstHeldPacket(), 2);
        QCOMPARE(getPacketLength(kSlotCount + 1), 99);
        QCOMPARE(getPacketByte(kSlotCount + 1, 0), uint8_t(kSlotCount + 1));
        QCOMPARE(views[1].plotted(), QList<int32_t>{kSlotCount + 1});
        // The next frame goes on into slot 2; the capture never stops by itself.
        arrive(60, kSlotCount + 2);
        QCOMPARE(views[1].plotted(), (QList<int32_t>{kSlotCount + 1, kSlotCount + 2}));
        QCOMPARE(getPacketByte(kSlotCount + 2, 0), uint8_t(kSlotCount + 2));
    }
};

QTEST_MAIN(TestCaptureFrames)
#include "test_capture_frames.moc"
