#include "frmCapture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <utility>

#include "acquire/modFileData.h"
#include "acquire/modSaveData.h"
#include "core/linkOrigins.h"
#include "core/modLibrary.h"
#include "core/packetComments.h"
#include "core/recentCommands.h"
#include "core/streamInput.h"
#include "platform/CaptureControl.h"
#include "platform/DialogLayer.h"
#include "platform/StreamControl.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"

namespace {
QPointer<FrmCapture> instance;

const QString kCaption = QStringLiteral("Capture");
const QString kRecentCommandsKey = QStringLiteral("capture/recentCommands");

// The last commands run, newest first, as the preferences keep them.
QStringList recentCommands() { return QSettings("nivora", "nivora").value(kRecentCommandsKey).toStringList(); }

void rememberCommand(const QString& line)
{
    std::vector<std::string> recent;
    for (const QString& command : recentCommands()) recent.push_back(command.toStdString());
    QStringList kept;
    for (const std::string& command : withRecentCommand(recent, line.toStdString())) kept << QString::fromStdString(command);
    QSettings("nivora", "nivora").setValue(kRecentCommandsKey, kept);
}
}

FrmCapture* frmCapture() { return formInstance(instance); }

FrmCapture::FrmCapture() : FormWindow("frmCapture", kCaption, "ToolCapture")
{
    Label1 = new QLabel("Current Network Interface", this);
    Label1->setObjectName("Label1");
    cmbInterface = new QComboBox(this);
    cmbInterface->setObjectName("cmbInterface");
    cmbInterface->setPlaceholderText("Select Interface");
    Label1->setBuddy(cmbInterface);

    lblFilter = new QLabel("Capture &filter:", this);
    lblFilter->setObjectName("lblFilter");
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName("txtFilter");
    txtFilter->setPlaceholderText("e.g. tcp port 80 (blank: every frame)");
    txtFilter->setToolTip("libpcap filter expression, applied when the capture starts");
    lblFilter->setBuddy(txtFilter);

    btnStart = new QPushButton("Start", this);
    btnStart->setObjectName("btnStart");
    btnStop = new QPushButton("Stop", this);
    btnStop->setObjectName("btnStop");

    lblStatus = new QLabel("Not capturing", this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnStart);
    buttons->addWidget(btnStop);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 2);
    layout->addWidget(cmbInterface, 1, 0, 1, 2);
    layout->addWidget(lblFilter, 2, 0);
    layout->addWidget(txtFilter, 2, 1);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->addWidget(lblStatus, 4, 0, 1, 2);
    setMinimumWidth(400);

    tmrStatus = new QTimer(this);
    tmrStatus->setObjectName("tmrStatus");
    tmrStatus->setInterval(1000);
    connect(tmrStatus, &QTimer::timeout, this, &FrmCapture::showStatus);

    packet = new CaptureControl(this);
    connect(packet, &CaptureControl::frameArrived, this, &FrmCapture::packetArrived, Qt::DirectConnection);
    connect(packet, &CaptureControl::framesHanded, this, &FrmCapture::drawArrivedFrames);
    connect(packet, &CaptureControl::captureLost, this, &FrmCapture::captureLost);
    stream = new StreamControl(this);
    connect(stream, &StreamControl::frameArrived, this,
            [this](const uint8_t* data, int size) {
                storeFrame(data, size, stream->frameTime(), stream->frameWireLength(), stream->frameLinkType(),
                           stream->frameComments());
            },
            Qt::DirectConnection);
    connect(stream, &StreamControl::framesHanded, this, &FrmCapture::drawArrivedFrames);
    connect(stream, &StreamControl::streamEnded, this, &FrmCapture::streamEnded);
    connect(stream, &StreamControl::errorLineChanged, this, &FrmCapture::showStatus);

    connect(btnStart, &QPushButton::clicked, this, &FrmCapture::StartCapture);
    connect(btnStop, &QPushButton::clicked, this, &FrmCapture::StopCapture);
    connect(txtFilter, &QLineEdit::returnPressed, this, [this] {
        if (btnStart->isEnabled()) StartCapture();
    });

    ProbeAdapters();
}

void FrmCapture::ProbeAdapters()
{
    packet->probeAdapters();
    const AdapterCollection& adapters = packet->adapters();
    cmbInterface->clear();
    if (adapters.count() == 0) {
        cmbInterface->setPlaceholderText("No adapters found");
        cmbInterface->setEnabled(false);
        if (!packet->probeError().isEmpty()) lblStatus->setText("Cannot list adapters: " + packet->probeError());
    } else {
        for (const CaptureAdapter& adapter : adapters) {
            cmbInterface->addItem(QString::fromStdString(adapter.label()));
            cmbInterface->setItemData(cmbInterface->count() - 1, QString::fromStdString(adapter.name),
                                      Qt::ToolTipRole);
        }
        cmbInterface->setCurrentIndex(0);
    }
    addStreamSources();
    cmbInterface->setEnabled(cmbInterface->count() > 0);
    btnStop->setEnabled(false);
}

void FrmCapture::addStreamSources()
{
    // Only a pipe on standard input is a stream; a terminal or /dev/null is none.
    if (isPipe(0)) {
        cmbInterface->addItem("Standard input");
        cmbInterface->setItemData(cmbInterface->count() - 1, "stdin", kSourceRole);
    }
    cmbInterface->addItem("Named pipe\u2026");
    cmbInterface->setItemData(cmbInterface->count() - 1, "pipe", kSourceRole);
    cmbInterface->addItem("Command\u2026");
    cmbInterface->setItemData(cmbInterface->count() - 1, "command", kSourceRole);
}

void FrmCapture::StartCapture()
{
    // Its reset would empty the store under a running load and mix frames into the file's.
    if (refuseWhileLoading()) return;
    const QString source = cmbInterface->currentData(kSourceRole).toString();
    if (source == "stdin") return StartStream("-");
    if (source == "pipe") {
        const QString path = dialogs().openFileName("Named Pipe", QString(), "All files (*)");
        if (!path.isEmpty()) StartStream(path);
        return;
    }
    if (source == "command") {
        const QString line = dialogs().commandLine("Command", recentCommands());
        if (!line.trimmed().isEmpty()) StartCommand(line);
        return;
    }
    const AdapterCollection& adapters = packet->adapters();
    const int index = cmbInterface->currentIndex() + 1;
    if (adapters.count() == 0 || index < 1 || index > adapters.count()) {
        dialogs().messageBox(adapters.count() == 0 ? "No adapters found: there is no network adapter to capture from."
                                                   : "Select the network adapter to capture from.",
                             kCaption, MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    const CaptureAdapter adapter = adapters.item(index);
    packet->setCurrentAdapter(adapter);
    packet->setFilter(txtFilter->text());
    // Opened first, so that a capture that cannot start is refused before
    // the store is touched; read only after the overwrite question, so the
    // frames that come meanwhile wait in the adapter's buffer and are counted
    // and stored after the answer, not counted and lost.
    if (!packet->open()) {
        const std::string program = QCoreApplication::applicationFilePath().toStdString();
        dialogs().messageBox(
            QString::fromStdString(describeCaptureFailure(packet->failure(), adapter.description(), program)),
            kCaption, MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    if (!beginStoring()) {   // Cancel: as if Start had not been clicked
        packet->stop();
        return;
    }
    streamNotes_.clear();
    captureStarted();
    packet->beginReading();
}

void FrmCapture::StartStream(const QString& name)
{
    if (refuseWhileLoading()) return;
    if (packet->isCapturing()) StopCapture();
    if (!stream->open(name, txtFilter->text())) {
        dialogs().messageBox(stream->failure(), kCaption, MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    beginStream(namesStandardInput(name.toStdString()) ? "stdin" : "pipe");
}

void FrmCapture::StartCommand(const QString& commandLine)
{
    if (refuseWhileLoading()) return;
    if (packet->isCapturing()) StopCapture();
    if (!stream->openCommand(commandLine, txtFilter->text())) {
        dialogs().messageBox(stream->failure(), kCaption, MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    rememberCommand(commandLine);
    beginStream("command");
}

void FrmCapture::beginStream(const char* sourceKind)
{
    // Started from the command line (nivora -), the list shows where the frames come from.
    const int entry = cmbInterface->findData(sourceKind, kSourceRole);
    if (entry >= 0) cmbInterface->setCurrentIndex(entry);
    // The stream waits in its pipe while the question is open: nothing is lost.
    if (!beginStoring()) {   // Cancel: as if Start had not been clicked
        stream->stop();
        return;
    }
    streamNotes_.clear();
    captureStarted();
    stream->begin();
}

void FrmCapture::captureStarted()
{
    btnStop->setEnabled(true);
    btnStart->setEnabled(false);
    btnStop->setFocus();
    showStatus();
    tmrStatus->start();
}

bool FrmCapture::beginStoring()
{
    if (!resetBuffer("capture")) return false;
    firstUndrawn_ = 0;   // a failed capture's last frames are not this one's
    clearVisualizations();
    frmFilters()->initFilters();
    return true;
}

void FrmCapture::StopCapture()
{
    packet->stop();
    if (stream->isStreaming()) {
        stream->stop();
        streamNotes_ = QString("%1 frames received").arg(stream->received());
    }
    btnStop->setEnabled(false);
    btnStart->setEnabled(true);
    btnStart->setFocus();
    tmrStatus->stop();
    showStatus();
    frmFilters()->initFilters();
}

void FrmCapture::DisplayForm() { show(); }

void FrmCapture::ExitForm() { hide(); }

void FrmCapture::packetArrived(const uint8_t* data, int size)
{
    storeFrame(data, size, packet->frameTime(), packet->frameWireLength(), packet->linkType());
}

void FrmCapture::storeFrame(const uint8_t* data, int size, CaptureTime time, uint32_t wireLength, int linkType,
                            const FrameComments* comments)
{
    // 0: an empty frame, nothing stored. Drawn by its packet number, which
    // the views show (packet 30005 is not "5" once the ring has wrapped).
    if (addPacket(data, size - 1, time, wireLength) == 0) return;
    noteLinkType(getPacketCount(), linkType);
    if (comments) setPacketComments(getPacketCount(), *comments);
    setHeldPacketsUnsaved(true);
    if (firstUndrawn_ == 0) firstUndrawn_ = getPacketCount();
}

void FrmCapture::drawArrivedFrames()
{
    if (firstUndrawn_ == 0) return;
    // Those that have left the ring meanwhile are not drawn.
    displayPackets(std::exchange(firstUndrawn_, 0), getPacketCount());
}

void FrmCapture::unload()
{
    // A closed window takes its capture with it.
    if (packet->isCapturing() || stream->isStreaming()) StopCapture();
}

void FrmCapture::captureLost(const QString& reason)
{
    StopCapture();
    const QString adapter = packet->currentAdapter()
                                ? QString::fromStdString(packet->currentAdapter()->description())
                                : QString();
    dialogs().messageBox(QString("The capture on %1 has stopped: %2\n\nThe packets captured so far are kept.")
                             .arg(adapter, reason),
                         kCaption, MsgButtons::Ok, MsgIcon::Critical);
}

void FrmCapture::streamEnded(const QString& notes, bool failed)
{
    StopCapture();
    streamNotes_ = notes;
    showStatus();
    if (failed)
        dialogs().messageBox(QString("Reading %1 has stopped: %2\n\nThe packets received so far are kept.")
                                 .arg(stream->label(), notes),
                             kCaption, MsgButtons::Ok, MsgIcon::Critical);
}

void FrmCapture::showStatus()
{
    if (stream->isStreaming()) {
        const QString from = (stream->isCommand() ? " from " : " on ") + stream->label();
        QString text = stream->isWaiting() ? "waiting for data" + from
                                           : QString("Reading%1: %2 frames received").arg(from).arg(stream->received());
        if (stream->skipped() > 0) text += QString(", %1 of other link types skipped").arg(stream->skipped());
        if (!stream->lastErrorLine().isEmpty()) text += "\n" + stream->lastErrorLine();
        return lblStatus->setText(text);
    }
    if (!streamNotes_.isEmpty()) return lblStatus->setText("Stopped: " + QString(streamNotes_).replace('\n', "; "));
    const CaptureCounts counts = packet->counts();
    const QString figures = QString("%1 frames received, %2 dropped").arg(counts.received).arg(counts.dropped);
    if (packet->isCapturing())
        lblStatus->setText(QString("Capturing on %1: %2")
                               .arg(QString::fromStdString(packet->currentAdapter()->description()), figures));
    else
        lblStatus->setText("Stopped: " + figures);
}
