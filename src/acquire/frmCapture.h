#pragma once
// The capture window ("Capture"): pick a network adapter, start and stop a
// live capture. Every received frame is stored and drawn at once.
#include <QPointer>
#include <cstdint>

#include "ui/FormWindow.h"

class CaptureControl;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class FrmCapture : public FormWindow {
    Q_OBJECT
public:
    FrmCapture();

    QLabel* Label1;
    QComboBox* cmbInterface;
    QPushButton* btnStart;
    QPushButton* btnStop;
    QLabel* lblFilter;
    QLineEdit* txtFilter;   // libpcap filter syntax, applied at Start
    QLabel* lblStatus;      // frames received and dropped, refreshed every second
    QTimer* tmrStatus;
    CaptureControl* packet;

    void StartCapture();
    void StopCapture();
    void ProbeAdapters();
    void DisplayForm();
    void ExitForm();

    // The per-frame event: the frame is stored at once.
    void packetArrived(const uint8_t* data, int size);
    // The frames stored since the last call are drawn as one range, so views
    // that scroll skip those that would scroll out before the end.
    void drawArrivedFrames();

protected:
    void unload() override;

private:
    void captureLost(const QString& reason);
    void showStatus();

    int64_t firstUndrawn_ = 0;   // the first packet stored and not yet drawn; 0: none
};

FrmCapture* frmCapture();
