// The capture window's frame handler: every frame is stored whole and drawn
// once, as a one-packet range, also once the ring has wrapped.
#include <QTest>

#include "acquire/frmCapture.h"
#include "core/accessors.h"
#include "core/modLibrary.h"
#include "support/frames.h"
#include "vis/VisWindow.h"
#include "vis/visWindows.h"

namespace {
struct Drawn {
    int32_t number;
    int len;
    std::vector<uint8_t> bytes;
};

class RecordingView : public VisWindow {
public:
    int plots = 0, thumbnails = 0;
    Drawn lastPlot{};
    void Plot(const PacketToDraw& p) override
    {
        ++plots;
        lastPlot = {p.number, p.len, std::vector<uint8_t>(p.bytes, p.bytes + p.len)};
    }
    void plotThumbnail(const PacketToDraw&) override { ++thumbnails; }
    void clear() override {}
    bool isShown() const override { return true; }
};

std::vector<uint8_t> markedFrame(int size, int marker)
{
    auto f = frames::ipv4(size, 17, 5353, 53);
    for (int i = 42; i < size; ++i) f[size_t(i)] = uint8_t(marker + i);
    f[0] = uint8_t(marker);
    f[1] = uint8_t(marker >> 8);
    return f;
}
}

class TestCaptureFrames : public QObject {
    Q_OBJECT
    RecordingView view;

private slots:
    void initTestCase() { overrideVisWindow(1, &view); }
    void cleanupTestCase() { overrideVisWindow(1, nullptr); }
    void init()
    {
        resetBuffer("startup");
        view = RecordingView{};
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
        const auto frame = markedFrame(size, 7);
        frmCapture()->packetArrived(frame.data(), size);

        QCOMPARE(getPacketCount(), 1);
        QCOMPARE(getPacketLength(1), size - 1);
        QVERIFY(std::equal(frame.begin(), frame.end(), packetBytesOf(1)));
        QCOMPARE(getIPProtocol(1), uint8_t(17));
        // Drawn once, straight away, with the whole frame.
        QCOMPARE(view.plots, 1);
        QCOMPARE(view.thumbnails, 1);
        QCOMPARE(view.lastPlot.number, 1);
        QCOMPARE(view.lastPlot.len, size);
        QVERIFY(view.lastPlot.bytes == frame);
    }

    void emptyFrameStoresAndDrawsNothing()
    {
        const uint8_t none[1] = {0};
        frmCapture()->packetArrived(none, 0);
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(view.plots + view.thumbnails, 0);
    }

    void ringWrapsWhileCapturing()
    {
        for (int n = 1; n <= kSlotCount; ++n) {
            const auto frame = markedFrame(60, n);
            frmCapture()->packetArrived(frame.data(), 60);
        }
        QCOMPARE(view.plots, kSlotCount);

        // Frame 30001 overwrites the oldest slot and is the one drawn.
        const auto newest = markedFrame(100, kSlotCount + 1);
        frmCapture()->packetArrived(newest.data(), 100);
        QCOMPARE(getPacketCount(), kSlotCount + 1);
        QCOMPARE(getWriteSlot(), 1);
        QCOMPARE(firstHeldPacket(), 2);
        QCOMPARE(getPacketLength(kSlotCount + 1), 99);
        QCOMPARE(view.plots, kSlotCount + 1);
        QCOMPARE(view.lastPlot.number, 1);
        QVERIFY(view.lastPlot.bytes == newest);
        // The next frame goes on into slot 2; the capture never stops by itself.
        const auto next = markedFrame(60, kSlotCount + 2);
        frmCapture()->packetArrived(next.data(), 60);
        QCOMPARE(view.lastPlot.number, 2);
        QCOMPARE(getPacketByte(kSlotCount + 2, 0), uint8_t(kSlotCount + 2));
    }
};

QTEST_MAIN(TestCaptureFrames)
#include "test_capture_frames.moc"
