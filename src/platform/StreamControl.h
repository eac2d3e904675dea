#pragma once
// A capture stream as a live source: standard input or a named pipe read
// without waiting on the user-interface thread's event loop (a socket
// notifier wakes it when bytes come), parsed as they come, and one signal
// per frame, as the capture control raises for an adapter's.
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "core/captureTime.h"

class QSocketNotifier;
class FrameFilter;
class StreamInput;
class StreamReader;

class StreamControl : public QObject {
    Q_OBJECT
public:
    explicit StreamControl(QObject* parent = nullptr);
    ~StreamControl() override;

    // Opens "-" (standard input) or a named pipe, with a capture filter
    // (libpcap's syntax, blank for every frame) run on each frame, stopping a
    // running stream first. False when it cannot; failure() says why.
    bool open(const QString& name, const QString& filter);
    // Begins handing over the frames of the stream opened.
    void begin();
    void stop();
    bool isStreaming() const { return input_ != nullptr; }
    // Started and no byte has come yet.
    bool isWaiting() const;
    // "standard input" or the pipe's path.
    const QString& label() const { return label_; }
    const QString& failure() const { return failure_; }
    // Frames handed to frameArrived (those the filter passed) by the running stream, or the last one.
    int64_t received() const;
    // Frames of pcapng interfaces that are not Ethernet, skipped.
    int64_t skipped() const;
    // While frameArrived is raised: the frame's capture time.
    CaptureTime frameTime() const { return frameTime_; }

signals:
    // One frame: its captured bytes and their count, valid only during the emission.
    void frameArrived(const uint8_t* data, int size);
    // After a run of frameArrived: what had come is handed over.
    void framesHanded();
    // The stream ended (the writer closed it) or was refused or found
    // damaged; reading has stopped. `notes` says how, one sentence a line.
    void streamEnded(const QString& notes, bool failed);

private:
    void readInput();
    void finish();

    std::unique_ptr<StreamInput> input_;
    std::shared_ptr<StreamReader> reader_;
    std::unique_ptr<FrameFilter> filter_;
    int64_t received_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QString label_;
    QString failure_;
    CaptureTime frameTime_ = kNoTime;
    uint64_t run_ = 0;   // which start the frames being handed over belong to
};
