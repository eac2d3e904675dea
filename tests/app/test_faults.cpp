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
constexpr char kWork[] = "NIVORA_EXIT_DURING";

void chooseExit()
{
    std::puts("exit chosen");
    frmMain()->menuItem("exit")->trigger();
}

// The capacity message comes up half-way through a load.
struct ExitingDialogs : ScriptedDialogs {
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons b, MsgIcon i) override
    {
        chooseExit();
        return ScriptedDialogs::messageBox(text, title, b, i);
    }
};

// In a child process: starts the work and chooses Exit in its middle.
// Getting to the end means Exit did not end the program.
int exitDuring(const QString& work)
{
    frmMain();
    ExitingDialogs dialogs;
    QTemporaryDir dir;
    capture_support::LoopbackUdp udp;
    if (work == "load") {
        recorded::writeFile(dir.filePath("full.nivora"), recorded::dataset(std::vector<recorded::Frame>(30001, frames::ipv4(60, 6))));
        loadDataset(dir.filePath("full.nivora"));
    } else {
        FrmCapture* w = frmCapture();
        w->cmbInterface->setCurrentIndex(w->cmbInterface->findText("lo"));
        w->txtFilter->setText(QString("udp and dst port %1").arg(udp.sinkPort()));
        w->StartCapture();
        udp.send(100, 1);
        capture_support::waitFor([] { return getPacketCount() > 0; });
        chooseExit();
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
        env.insert(kWork, work);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath());
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("exit chosen\n"));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }

    // The position bar counts in int: past 2147483647 it sits disabled and
    // the player holds still, while the labels go on counting.
    void playerPastTwoToThe31_data()
    {
        QTest::addColumn<int64_t>("count");
        QTest::newRow("the last the bar can hold") << int64_t(std::numeric_limits<int>::max());
        QTest::newRow("one more") << int64_t(std::numeric_limits<int>::max()) + 1;
    }
    void playerPastTwoToThe31()
    {
        QFETCH(int64_t, count);
        frmMain();
        store_detail::packetCount = count - 1;
        recorded::store(frames::ipv4(60, 6));
        QCOMPARE(frmFilters()->lblPacketCounter->text(), QString::number(count));
        QCOMPARE(frmFilters()->scrPacket->isEnabled(), count <= std::numeric_limits<int>::max());
        resetBuffer("startup");
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kWork)) return exitDuring(qEnvironmentVariable(kWork));
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_faults.moc"
