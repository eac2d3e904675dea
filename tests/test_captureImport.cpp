// Importing pcap and pcapng captures: Ethernet frames in file order, long
// frames cut to the slot, other link types refused by name, a capture that
// breaks off, and telling captures from datasets by content.
#include <QTemporaryDir>
#include <QTest>

#include "core/accessors.h"
#include "core/fileLoader.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "support/frames.h"
#include "support/recordedFiles.h"

using recorded::Frame;

namespace {
Frame stored(int64_t n) { return Frame(packetBytesOf(n), packetBytesOf(n) + getPacketLength(n) + 1); }

std::vector<Frame> sampleFrames()
{
    return {frames::ipv4(60, 6, 1234, 80), frames::ipv4(1514, 17, 53, 5353), frames::ipv4(61, 1)};
}
}

class TestCaptureImport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    LoadObserver quiet;

    std::string path(const QString& name) { return dir.filePath(name).toStdString(); }

private slots:
    void init() { resetBuffer("startup"); }

    void pcapFramesInOrder()
    {
        QVERIFY(recorded::writePcap(dir.filePath("a.pcap"), sampleFrames()));
        const LoadReport r = loadCaptureFile(path("a.pcap"), quiet);
        QVERIFY2(r.ok(), r.message.c_str());
        QCOMPARE(r.packetsStored, 3);
        for (int k = 0; k < 3; ++k) QCOMPARE(stored(k + 1), sampleFrames()[size_t(k)]);
        QCOMPARE(getTCPDestPort(1), 80);
        QCOMPARE(getUDPSourcePort(2), 53);
        QCOMPARE(getIPProtocol(3), uint8_t(1));
    }

    void pcapngFramesInOrder()
    {
        QVERIFY(recorded::writeFile(dir.filePath("a.pcapng"), recorded::pcapng(sampleFrames())));
        const LoadReport r = loadCaptureFile(path("a.pcapng"), quiet);
        QVERIFY2(r.ok(), r.message.c_str());
        QCOMPARE(r.packetsStored, 3);
        for (int k = 0; k < 3; ++k) QCOMPARE(stored(k + 1), sampleFrames()[size_t(k)]);
    }

    void longFramesAreCutToTheSlot()
    {
        Frame jumbo = frames::ipv4(9000, 17);
        jumbo[1600] = 0x77;
        QVERIFY(recorded::writePcap(dir.filePath("j.pcap"), {jumbo, frames::ipv4(60, 6)}));
        const LoadReport r = loadCaptureFile(path("j.pcap"), quiet);
        QCOMPARE(r.packetsStored, 2);
        QCOMPARE(r.truncatedFrames, 1);
        QCOMPARE(getPacketLength(1), 1600);
        QCOMPARE(getPacketByte(1, 1600), uint8_t(0x77));
        QCOMPARE(getPacketLength(2), 59);
        QCOMPARE(loadNotes(r, "j.pcap").size(), size_t(1));
    }

    void otherLinkTypesAreRefusedByName_data()
    {
        QTest::addColumn<bool>("pcapng");
        QTest::addColumn<int>("linkType");
        QTest::addColumn<QString>("name");
        QTest::newRow("pcap, Linux cooked") << false << int(DLT_LINUX_SLL) << "LINUX_SLL";
        QTest::newRow("pcapng, raw IP") << true << 101 << "RAW";
    }
    void otherLinkTypesAreRefusedByName()
    {
        QFETCH(bool, pcapng);
        QFETCH(int, linkType);
        QFETCH(QString, name);
        addPacket(frames::ipv4(60, 6).data(), 59);
        const QString file = dir.filePath(pcapng ? "raw.pcapng" : "sll.pcap");
        if (pcapng) QVERIFY(recorded::writeFile(file, recorded::pcapng(sampleFrames(), uint16_t(linkType))));
        else QVERIFY(recorded::writePcap(file, sampleFrames(), linkType));
        const LoadReport r = loadCaptureFile(file.toStdString(), quiet);
        QCOMPARE(r.error, LoadError::NotEthernet);
        const QString message = QString::fromStdString(r.message);
        QVERIFY2(message.contains(name) && message.contains(file), qPrintable(message));
        QCOMPARE(getPacketCount(), 1);   // untouched
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

    void notACapture()
    {
        QVERIFY(recorded::writeFile(dir.filePath("text.pcap"), "just some text, not a capture"));
        const LoadReport r = loadCaptureFile(path("text.pcap"), quiet);
        QCOMPARE(r.error, LoadError::NotCapture);
        QVERIFY(QString::fromStdString(r.message).contains("text.pcap"));
        const LoadReport missing = loadCaptureFile(path("none.pcap"), quiet);
        QCOMPARE(missing.error, LoadError::CannotOpen);
        QVERIFY(QString::fromStdString(missing.message).contains("No such file or directory"));
    }

    void formatIsToldByContent()
    {
        // Names that lie: a capture called .nivora and a dataset called .pcap.
        QVERIFY(recorded::writePcap(dir.filePath("capture.nivora"), sampleFrames()));
        QVERIFY(recorded::writeFile(dir.filePath("dataset.pcap"), recorded::dataset(sampleFrames())));
        QVERIFY(recorded::writeFile(dir.filePath("ng.bin"), recorded::pcapng(sampleFrames())));
        for (const char* name : {"capture.nivora", "dataset.pcap", "ng.bin"}) {
            resetBuffer("startup");
            const LoadReport r = loadAnyFile(path(name), quiet);
            QVERIFY2(r.ok(), r.message.c_str());
            QCOMPARE(r.packetsStored, 3);
            QCOMPARE(stored(2), sampleFrames()[1]);
        }
    }
};

QTEST_APPLESS_MAIN(TestCaptureImport)
#include "test_captureImport.moc"
