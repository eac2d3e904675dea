// Importing pcap and pcapng captures: Ethernet frames in file order, long
// frames cut to the slot, other link types refused by name, a capture that
// breaks off, and telling captures from datasets by content.
#include <QTemporaryDir>
#include <QTest>

#include "core/fileLoader.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
enum Kind { Pcap, Pcapng, Dataset };

std::vector<Frame> sampleFrames()
{
    return {frames::ipv4(60, 6, 1234, 80), frames::ipv4(1514, 17, 53, 5353), frames::ipv4(61, 1)};
}

bool write(Kind kind, const QString& path, const std::vector<Frame>& frames)
{
    if (kind == Pcap) return recorded::writePcap(path, frames);
    return recorded::writeFile(path, kind == Pcapng ? recorded::pcapng(frames) : recorded::dataset(frames));
}
}

class TestCaptureImport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoadObserver quiet;

    std::string path(const QString& name) { return dir.filePath(name).toStdString(); }

private slots:
    void init() { resetBuffer("startup"); }

    // Captures through the capture loader; every kind, whatever its name, through the one that looks inside.
    void framesInFileOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("pcap") << int(Pcap) << "a.pcap";
        QTest::newRow("pcapng") << int(Pcapng) << "a.pcapng";
        QTest::newRow("pcap named .nivora") << int(Pcap) << "capture.nivora";
        QTest::newRow("pcapng named .bin") << int(Pcapng) << "ng.bin";
        QTest::newRow("dataset named .pcap") << int(Dataset) << "dataset.pcap";
    }
    void framesInFileOrder()
    {
        QFETCH(int, kind);
        QFETCH(QString, name);
        QVERIFY(write(Kind(kind), dir.filePath(name), sampleFrames()));
        for (auto loader : {loadCaptureFile, loadAnyFile}) {
            if (kind == Dataset && loader == loadCaptureFile) continue;
            resetBuffer("startup");
            const LoadReport r = loader(path(name), quiet);
            QVERIFY2(r.ok(), r.message.c_str());
            QCOMPARE(r.packetsStored, 3);
            for (int k = 0; k < 3; ++k) QVERIFY(recorded::stored(k + 1) == sampleFrames()[size_t(k)]);
        }
    }

    void longFramesAreCutToTheSlot()
    {
        Frame jumbo = frames::ipv4(9000, 17);
        jumbo[1600] = 0x77;
        QVERIFY(recorded::writePcap(dir.filePath("j.pcap"), {jumbo, frames::ipv4(60, 6)}));
        const LoadReport r = loadCaptureFile(path("j.pcap"), quiet);
        QCOMPARE(r.truncatedFrames, 1);
        QCOMPARE(getPacketLength(1), 1600);
        QCOMPARE(getPacketByte(1, 1600), uint8_t(0x77));
        QCOMPARE(getPacketLength(2), 59);   // the next frame whole
        QCOMPARE(loadNotes(r, "j.pcap").size(), size_t(1));
    }

    // Other link types are refused by name; like a file that is no capture or
    // is missing, the file is named and the store left as it was.
    void refusedCapturesLeaveTheStoreAlone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<LoadError>("error");
        QTest::addColumn<QString>("says");
        QVERIFY(recorded::writePcap(dir.filePath("sll.pcap"), sampleFrames(), DLT_LINUX_SLL));
        QVERIFY(recorded::writeFile(dir.filePath("raw.pcapng"), recorded::pcapng(sampleFrames(), 101)));
        QVERIFY(recorded::writeFile(dir.filePath("text.pcap"), "just some text, not a capture"));
        QTest::newRow("pcap, Linux cooked") << "sll.pcap" << LoadError::NotEthernet << "LINUX_SLL";
        QTest::newRow("pcapng, raw IP") << "raw.pcapng" << LoadError::NotEthernet << "RAW";
        QTest::newRow("not a capture") << "text.pcap" << LoadError::NotCapture << "";
        QTest::newRow("missing") << "none.pcap" << LoadError::CannotOpen << "No such file or directory";
    }
    void refusedCapturesLeaveTheStoreAlone()
    {
        QFETCH(QString, name);
        QFETCH(LoadError, error);
        QFETCH(QString, says);
        recorded::store(frames::ipv4(60, 6));
        const LoadReport r = loadCaptureFile(path(name), quiet);
        QCOMPARE(r.error, error);
        const QString message = QString::fromStdString(r.message);
        QVERIFY2(message.contains(dir.filePath(name)) && message.contains(says), qPrintable(message));
        QCOMPARE(getPacketCount(), 1);
    }

    void brokenCaptureKeepsWhatCameBefore()
    {
        QVERIFY(recorded::writePcap(dir.filePath("cut.pcap"), sampleFrames()));
        QFile f(dir.filePath("cut.pcap"));
        QVERIFY(f.resize(f.size() - 10));   // the last frame breaks off
        const LoadReport r = loadCaptureFile(path("cut.pcap"), quiet);
        QVERIFY(r.ok());
        QCOMPARE(r.packetsStored, 2);
        QVERIFY(!r.damage.empty());
        QVERIFY(QString::fromStdString(loadNotes(r, "cut.pcap").back()).contains("could not be read to its end"));
    }
};

QTEST_APPLESS_MAIN(TestCaptureImport)
#include "test_captureImport.moc"
