// Faults the program must come through: Exit chosen in the middle of a load
// or of a capture ends it at once with status 0, and a store counted past
// 2^31 packets keeps the player's labels true.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <limits>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "app/frmMain.h"
#include "playback/frmFilters.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"
#include "support/recordedFiles.h"

namespace {
constexpr char kScenario[] = "NIVORA_EXIT_DURING";

// Chooses Exit when the capacity message comes up, half-way through a load.
struct ExitingDialogs : ScriptedDialogs {
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons b, MsgIcon i) override
    {
        std::puts("exit chosen");
        frmMain()->menuItem("exit")->trigger();
        return ScriptedDialogs::messageBox(text, title, b, i);
    }
};

// Run in a child process: starts the work, chooses Exit in its middle.
// Returning at all means Exit did not end the program.
int exitDuring(const QString& work)
{
    frmMain();
    ExitingDialogs dialogs;
    QTemporaryDir dir;
    if (work == "load") {
        std::vector<recorded::Frame> frames(30001, frames::ipv4(60, 6));
        recorded::writeFile(dir.filePath("full.nivora"), recorded::dataset(frames));
        loadDataset(dir.filePath("full.nivora"));
    } else {
        capture_support::LoopbackUdp udp;
        FrmCapture* w = frmCapture();
        w->cmbInterface->setCurrentIndex(w->cmbInterface->findText("lo"));
        w->txtFilter->setText(QString("udp and dst port %1").arg(udp.sinkPort()));
        w->StartCapture();
        udp.send(100, 1);
        capture_support::waitFor([] { return getPacketCount() > 0; });
        std::puts("exit chosen");
        frmMain()->menuItem("exit")->trigger();
    }
    std::puts("still running");
    return 3;
}
}

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void exitEndsTheProgramAtOnce_data()
    {
        QTest::addColumn<QString>("work");
        QTest::newRow("during a load") << "load";
        QTest::newRow("during a capture") << "capture";
    }
    void exitEndsTheProgramAtOnce()
    {
        QFETCH(QString, work);
        if (work == "capture") SKIP_UNLESS_CAPTURE_PERMITTED();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kScenario, work);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath());
        QVERIFY(child.waitForFinished(60000));
        const QByteArray out = child.readAllStandardOutput();
        QCOMPARE(out, QByteArray("exit chosen\n"));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }

    // The position bar counts in int: past 2147483647 it sits disabled and
    // the player holds still, while the labels go on counting.
    void playerPastTwoToThe31_data()
    {
        QTest::addColumn<int64_t>("count");
        QTest::addColumn<bool>("playable");
        QTest::newRow("the last the bar can hold") << int64_t(std::numeric_limits<int>::max()) << true;
        QTest::newRow("one more") << int64_t(std::numeric_limits<int>::max()) + 1 << false;
    }
    void playerPastTwoToThe31()
    {
        QFETCH(int64_t, count);
        QFETCH(bool, playable);
        frmMain();
        store_detail::packetCount = count - 1;
        recorded::store(frames::ipv4(60, 6));
        FrmFilters* player = frmFilters();
        QCOMPARE(player->lblPacketCounter->text(), QString::number(count));
        QCOMPARE(player->lblPacketMin->text(), QString::number(count - 29999));
        QCOMPARE(player->scrPacket->isEnabled(), playable);
        if (playable) QCOMPARE(player->scrPacket->maximum(), count);
        resetBuffer("startup");
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kScenario)) return exitDuring(qEnvironmentVariable(kScenario));
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
