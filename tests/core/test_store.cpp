// The packet store: ring numbering, reset words and questions, truncation.
#include <QTest>

#include "core/accessors.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "support/frames.h"

namespace {
struct RecordingHost : StoreHost {
    int questions = 0;
    bool answer = true;
    int clears = 0;
    int64_t count = -1, first = -1, counter = -1;
    void showPacketCounter(int64_t c) override { counter = c; }
    void showPacketRange(int64_t c, int64_t f) override { count = c; first = f; }
    bool confirmOverwrite() override { ++questions; return answer; }
    void clearVisualizations() override { ++clears; }
};

int32_t addFrameMarked(int marker, int size = 60)
{
    auto f = frames::ipv4(size, 6);
    f[0] = uint8_t(marker);
    f[1] = uint8_t(marker >> 8);
    f[2] = uint8_t(marker >> 16);
    return addPacket(f.data(), size - 1);
}

int markerOf(int64_t n) { return getPacketByte(n, 0) | getPacketByte(n, 1) << 8 | getPacketByte(n, 2) << 16; }
}

class TestStore : public QObject {
    Q_OBJECT
    RecordingHost host;

private slots:
    void init()
    {
        setStoreHost(&host);
        host = RecordingHost{};
        resetBuffer("startup");
    }
    void cleanup() { setStoreHost(nullptr); }

    void startupEmptiesTheStore()
    {
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(getWriteSlot(), 0);
        QCOMPARE(host.counter, 0);
    }

    void ringWrapsAtThirtyThousand()
    {
        for (int n = 1; n <= 30000; ++n) {
            const int32_t slot = addFrameMarked(n);
            if (n == 1) QCOMPARE(slot, 1);
        }
        QCOMPARE(getWriteSlot(), 30000);
        QCOMPARE(host.count, 30000);
        QCOMPARE(host.first, 1);

        QCOMPARE(addFrameMarked(30001), 1);
        QCOMPARE(getPacketCount(), 30001);
        // Packet number 30001 and slot number 1 read the same packet.
        QCOMPARE(markerOf(30001), 30001);
        QCOMPARE(markerOf(1), 30001);
        QCOMPARE(markerOf(2), 2);
        QCOMPARE(markerOf(30000), 30000);
        QCOMPARE(host.count, 30001);
        QCOMPARE(host.first, 2);
        QCOMPARE(firstHeldPacket(), 2);

        // The range keeps moving past 16-bit packet numbers.
        for (int n = 30002; n <= 40000; ++n) addFrameMarked(n);
        QCOMPARE(host.count, 40000);
        QCOMPARE(host.first, 10001);
        QCOMPARE(markerOf(40000), 40000);
        QCOMPARE(packetSlot(40000), 10000);
    }

    void resetWordsAndQuestion()
    {
        resetBuffer("file");   // empty store: no question, nothing changes
        QCOMPARE(host.questions, 0);

        for (int n = 1; n <= 500; ++n) addFrameMarked(n);
        resetBuffer("Startup");   // not a command word
        resetBuffer("FILE");
        resetBuffer("other");
        QCOMPARE(getPacketCount(), 500);
        QCOMPARE(host.questions, 0);

        host.answer = false;
        resetBuffer("file");
        QCOMPARE(host.questions, 1);
        QCOMPARE(getPacketCount(), 500);
        QCOMPARE(host.clears, 0);
        for (int n = 501; n <= 510; ++n) QCOMPARE(addFrameMarked(n), n);
        QCOMPARE(markerOf(505), 505);

        host.answer = true;
        resetBuffer("capture");
        QCOMPARE(host.questions, 2);
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(host.clears, 1);
        QCOMPARE(host.count, 0);
        QCOMPARE(host.first, 1);
        QCOMPARE(getPacketByte(1, 0), uint8_t(0));
    }

    void shortFrameKeepsOlderBytesAbove()
    {
        auto big = frames::ipv4(200, 6, 0, 0, 5, 0xEE);
        addPacket(big.data(), 199);
        for (int n = 2; n <= 30000; ++n) addFrameMarked(n);
        addFrameMarked(30001, 60);   // lands in slot 1
        QCOMPARE(getPacketLength(30001), 59);
        QCOMPARE(getPacketByte(1, 60), uint8_t(0xEE));
        QCOMPARE(getPacketByte(1, 199), uint8_t(0xEE));
    }

    void oversizeAndEmptyFrames()
    {
        std::vector<uint8_t> huge(3000, 0x5A);
        QCOMPARE(addPacket(huge.data(), 2999), 1);
        QCOMPARE(getPacketLength(1), 1600);
        QCOMPARE(getPacketByte(1, 1600), uint8_t(0x5A));
        QCOMPARE(getPacketByte(1, 1601), uint8_t(0));   // outside the slot reads 0

        uint8_t none = 0;
        QCOMPARE(addPacket(&none, -1), 0);
        QCOMPARE(getPacketCount(), 1);

        uint8_t one = 0x42;
        QCOMPARE(addPacket(&one, 0), 2);
        QCOMPARE(getPacketLength(2), 0);
    }
};

QTEST_APPLESS_MAIN(TestStore)
#include "test_store.moc"
