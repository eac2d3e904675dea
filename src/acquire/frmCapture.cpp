#include "frmCapture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <utility>

#include "acquire/modFileData.h"
#include "acquire/modSaveData.h"
#include "core/linkOrigins.h"
#include "core/modLibrary.h"
#include "platform/CaptureControl.h"
#include "platform/DialogLayer.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"

namespace {
QPointer<FrmCapture> instance;

const QString kCaption = QStringLiteral("Capture");
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
        cmbInterface->setEnabled(true);
        cmbInterface->setCurrentIndex(0);
    }
    btnStop->setEnabled(false);
}

void FrmCapture::StartCapture()
{
    // Its reset would empty the store under a running load and mix frames into the file's.
    if (refuseWhileLoading()) return;
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
    if (!resetBuffer("capture")) {   // Cancel: as if Start had not been clicked
        packet->stop();
        return;
    }
    firstUndrawn_ = 0;   // a failed capture's last frames are not this one's
    clearVisualizations();
    frmFilters()->initFilters();
    btnStop->setEnabled(true);
    btnStart->setEnabled(false);
    btnStop->setFocus();
    showStatus();
    tmrStatus->start();
    packet->beginReading();
}

void FrmCapture::StopCapture()
{
    packet->stop();
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
    // 0: an empty frame, nothing stored. Drawn by its packet number, which
    // the views show (packet 30005 is not "5" once the ring has wrapped).
    if (addPacket(data, size - 1, packet->frameTime(), packet->frameWireLength()) == 0) return;
    noteLinkType(getPacketCount(), packet->linkType());
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
    if (packet->isCapturing()) StopCapture();
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

void FrmCapture::showStatus()
{
    const CaptureCounts counts = packet->counts();
    const QString figures = QString("%1 frames received, %2 dropped").arg(counts.received).arg(counts.dropped);
    if (packet->isCapturing())
        lblStatus->setText(QString("Capturing on %1: %2")
                               .arg(QString::fromStdString(packet->currentAdapter()->description()), figures));
    else
        lblStatus->setText("Stopped: " + figures);
}
