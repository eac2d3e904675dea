// Live capture and loading as a user finds them: a captured packet is drawn
// by its packet number, only adapters that deliver Ethernet are offered, the
// dataset dialog shows every file and remembers its folder, and a long path
// in a message stays whole.
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "core/accessors.h"
#include "platform/AdapterSource.h"
#include "platform/CaptureControl.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/recordedFiles.h"

namespace {
struct FakeAdapters : AdapterSource {
    AdapterListing listing;
    AdapterListing probe() override { return listing; }
};
// libpcap's link types of the pseudo-devices a Linux machine lists.
constexpr int kLinuxCooked = 113, kBluetoothMonitor = 254, kNetfilterLog = 239, kDbus = 231;
}

class TestAcquireMends : public QObject {
    Q_OBJECT
    FakeAdapters adapters;

private slots:
    void initTestCase() { installAdapterSource(&adapters); }
    void cleanupTestCase() { installAdapterSource(nullptr); }
    void cleanup() { delete frmCapture(); }

    void capturedPacketsAreDrawnByNumber()
    {
        RecordingViews views;
        resetBuffer("startup");
        const auto frame = frames::ipv4(60, 17);
        for (int i = 0; i < 30004; ++i) addPacket(frame.data(), 59);
        views.forget();
        frmCapture()->packetArrived(frame.data(), 60);   // packet 30005, in slot 5
        QCOMPARE(views[1].plotted(), QList<int32_t>{30005});
        QCOMPARE(views[1].calls.last(), (RecordingView::Entry{RecordingView::Call::Thumbnail, 30005}));
    }

    void onlyEthernetAdaptersAreOffered()
    {
        const std::vector<CaptureAdapter> all = {
            {"eth0", "Intel Corporation 82540EM", kLinkEthernet},
            {"any", "Pseudo-device that captures on all interfaces", kLinuxCooked},
            {"lo", "", kLinkEthernet},
            {"bluetooth-monitor", "Bluetooth Linux Monitor", kBluetoothMonitor},
            {"nflog", "Linux netfilter log (NFLOG) interface", kNetfilterLog},
            {"dbus-system", "D-Bus system bus", kDbus},
            {"wlan0", "", kLinkUnknown},
        };
        adapters.listing = {ethernetAdapters(all), ""};
        const QComboBox* list = frmCapture()->cmbInterface;
        QStringList shown;
        for (int k = 0; k < list->count(); ++k) shown << list->itemText(k);
        QCOMPARE(shown, (QStringList{"eth0 \u2014 Intel Corporation 82540EM", "lo"}));
        // The index rule: entry k is adapter k + 1 of what is offered.
        QCOMPARE(frmCapture()->packet->adapters().item(list->currentIndex() + 2).name, std::string("lo"));
    }

    void datasetDialogShowsEveryFileAndRemembersItsFolder()
    {
        ScriptedDialogs dialogs;
        resetBuffer("startup");
        QTemporaryDir dir;
        const QString capture = dir.filePath("traffic.pcap");   // a capture file chosen in the dataset dialog
        QVERIFY(recorded::writePcap(capture, {frames::ipv4(60, 6), frames::ipv4(70, 17)}));
        dialogs.fileNames.enqueue(capture);
        openDataset();
        openDataset();   // cancelled
        QCOMPARE(dialogs.fileDialogFolders, (QStringList{QCoreApplication::applicationDirPath(), dir.path()}));
        const QStringList choices = dialogs.fileDialogFilters.first().split(";;");
        QCOMPARE(choices.first(), QString("All files (*)"));
        QVERIFY(choices.contains("nivora datasets (*.nivora)"));
        QVERIFY(choices.contains("Capture files (*.pcap *.pcapng *.cap)"));
        QCOMPARE(getPacketCount(), 2);   // known by its header, not its name
        QVERIFY(dialogs.shown.isEmpty());
    }

    // A message naming a long path keeps the path on one line; a short one keeps its one line.
    void longWordsInMessagesStayWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("whole");
        const QString path = "/opt/a-rather-long-installation-folder/with-several-levels/nivora-1.36/bin/nivora";
        QTest::newRow("setcap hint") << "Cannot capture on eth0: you do not have the rights.\n\nRun the program as root, or "
                                        "grant it the raw-capture capability once:\n\n    sudo setcap cap_net_raw,cap_net_admin=eip " + path
                                     << path;
        const QString question = "Packets exist in the buffer.  Do you wish to overwrite?";
        QTest::newRow("short question") << question << question;
    }
    void longWordsInMessagesStayWhole()
    {
        QFETCH(QString, text);
        QFETCH(QString, whole);
        const QString path = whole;
        int labelWidth = 0, pathWidth = -1;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            labelWidth = label->contentsRect().width();
            pathWidth = label->fontMetrics().horizontalAdvance(path);
            box->accept();
        });
        dialogs().messageBox(text, "Capture", MsgButtons::Ok, MsgIcon::Critical);
        QVERIFY2(labelWidth >= pathWidth, qPrintable(QString("%1 < %2").arg(labelWidth).arg(pathWidth)));
    }
};

QTEST_MAIN(TestAcquireMends)
#include "test_acquire_mends.moc"
