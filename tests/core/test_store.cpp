// The packet store: ring numbering, reset words and questions, truncation.
#include <QTest>

#include "core/accessors.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "support/frames.h"

namespace {
struct RecordingHost : StoreHost {
    int questions = 0, clears = 0;
    bool answer = true;
    int64_t count = -1, first = -1, counter = -1;
    void showPacketCounter(int64_t c) override { counter = c; }
    void showPacketRange(int64_t c, int64_t f) override { count = c; first = f; }
    bool confirmOverwrite() override { ++questions; return answer; }
    void clearVisualizations() override { ++clears; }
};

// Adds a frame of `size` bytes whose first three bytes hold `marker`.
int32_t addMarked(int marker, int size = 60)
{
    auto f = frames::ipv4(size, 6);
    for (int i = 0; i < 3; ++i) f[size_t(i)] = uint8_t(marker >> (8 * i));
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

    void ringWrapsAtThirtyThousand()
    {
        QCOMPARE(host.counter, 0);
        auto big = frames::ipv4(200, 6, 0, 0, 5, 0xEE);   // slot 1 first holds 200 bytes
        QCOMPARE(addPacket(big.data(), 199), 1);
        for (int n = 2; n <= 30000; ++n) QCOMPARE(addMarked(n), n);
        QCOMPARE(host.count, 30000);
        QCOMPARE(host.first, 1);

        QCOMPARE(addMarked(30001), 1);
        // Packet number 30001 and slot number 1 read the same packet, a shorter
        // one: the older bytes above it stay.
        QCOMPARE(markerOf(30001), 30001);
        QCOMPARE(markerOf(1), 30001);
        QCOMPARE(getPacketLength(30001), 59);
        QCOMPARE(getPacketByte(1, 199), uint8_t(0xEE));
        QCOMPARE(markerOf(2), 2);
        QCOMPARE(host.first, 2);
        QCOMPARE(firstHeldPacket(), 2);

        // The range keeps moving past 16-bit packet numbers.
        for (int n = 30002; n <= 40000; ++n) addMarked(n);
        QCOMPARE(host.count, 40000);
        QCOMPARE(host.first, 10001);
        QCOMPARE(markerOf(40000), 40000);
        QCOMPARE(packetSlot(40000), 10000);
    }

    void resetWords_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("emptied");   // else the 10 packets stay and numbering goes on
        QTest::newRow("startup: no question") << "startup" << true << 0 << true;
        QTest::newRow("file, Yes") << "file" << true << 1 << true;
        QTest::newRow("capture, Yes") << "capture" << true << 1 << true;
        QTest::newRow("file, No") << "file" << false << 1 << false;
        QTest::newRow("not a command word") << "Startup" << true << 0 << false;
        QTest::newRow("case matters") << "FILE" << true << 0 << false;
        QTest::newRow("other") << "other" << true << 0 << false;
    }
    void resetWords()
    {
        QFETCH(QString, word);
        QFETCH(bool, answer);
        QFETCH(int, questions);
        QFETCH(bool, emptied);
        resetBuffer("file");   // empty store: no question
        QCOMPARE(host.questions, 0);
        for (int n = 1; n <= 10; ++n) addMarked(n);
        host.answer = answer;
        resetBuffer(word.toStdString());
        QCOMPARE(host.questions, questions);
        // The views are cleared with a confirmed reset only (startup has no views yet).
        QCOMPARE(host.clears, int(emptied && questions > 0));
        QCOMPARE(host.count, emptied && questions > 0 ? 0 : 10);
        QCOMPARE(getPacketCount(), emptied ? 0 : 10);
        QCOMPARE(getPacketByte(1, 0), uint8_t(emptied ? 0 : 1));
        QCOMPARE(addMarked(11), emptied ? 1 : 11);
        QCOMPARE(markerOf(5), emptied ? 0 : 5);
    }

    void oversizeAndEmptyFrames()
    {
        std::vector<uint8_t> huge(3000, 0x5A);
        QCOMPARE(addPacket(huge.data(), 2999), 1);
        QCOMPARE(getPacketLength(1), 1600);
        QCOMPARE(getPacketByte(1, 1600), uint8_t(0x5A));
        QCOMPARE(getPacketByte(1, 1601), uint8_t(0));   // outside the slot reads 0

        const uint8_t one = 0x42;
        QCOMPARE(addPacket(&one, -1), 0);   // no bytes: not stored
        QCOMPARE(getPacketCount(), 1);
        QCOMPARE(addPacket(&one, 0), 2);
        QCOMPARE(getPacketLength(2), 0);
    }
};

QTEST_APPLESS_MAIN(TestStore)
#include "test_store.moc"
