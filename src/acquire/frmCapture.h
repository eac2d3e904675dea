#pragma once
// The capture window ("Capture"): pick a network adapter or a stream (standard
// input, a named pipe, a command's output), start and stop a live capture.
// Every received frame is stored and drawn at once.
#include <QPointer>
#include <cstdint>

#include "core/captureTime.h"
#include "core/frameComments.h"
#include "ui/FormWindow.h"

class CaptureControl;
class StreamControl;
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
    StreamControl* stream;   // standard input, a named pipe or a command's output

    // Entries of cmbInterface after the adapters, told apart by their data.
    static constexpr int kSourceRole = Qt::UserRole;

    void StartCapture();
    void StopCapture();
    // Reads "-" (standard input) or a named pipe as the capture's source.
    void StartStream(const QString& name);
    // Runs a command line and reads its standard output as the capture's source.
    void StartCommand(const QString& commandLine);
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
    void streamEnded(const QString& notes, bool failed);
    void showStatus();
    void addStreamSources();
    void captureStarted();
    // Starts the stream StreamControl has opened, once the store may take it.
    void beginStream(const char* sourceKind);
    // The overwrite question, the views cleared: false when the user cancelled.
    bool beginStoring();
    void storeFrame(const uint8_t* data, int size, CaptureTime time, uint32_t wireLength, int linkType,
                    const FrameComments* comments = nullptr);

    int64_t firstUndrawn_ = 0;   // the first packet stored and not yet drawn; 0: none
    QString streamNotes_;        // how the last stream ended; empty after an adapter's capture
};

FrmCapture* frmCapture();
