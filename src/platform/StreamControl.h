#pragma once
// A capture stream as a live source: standard input, a named pipe or a
// command's standard output, read without waiting on the user-interface
// thread's event loop (a socket notifier, or the process's signals, wake it
// when bytes come), parsed as they come, and one signal per frame, as the
// capture control raises for an adapter's.
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/filterExpression.h"
#include "core/frameComments.h"
#include "core/frameStamp.h"

class QProcess;
class QSocketNotifier;
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
    // Checks a command line (split as a shell would; no shell runs it) whose
    // standard output is to be the stream; begin() runs it. False when it
    // cannot be split or is blank; failure() says why.
    bool openCommand(const QString& commandLine, const QString& filter);
    // Begins handing over the frames of the stream opened (runs the command).
    void begin();
    // Stops reading; a command is asked to end, and killed if it has not after 2 s.
    void stop();
    bool isStreaming() const { return input_ != nullptr || process_ != nullptr; }
    bool isCommand() const { return process_ != nullptr; }
    // The last line the command wrote to its standard error, while it runs and after.
    const QString& lastErrorLine() const { return lastErrorLine_; }
    // Started and no byte has come yet.
    bool isWaiting() const;
    // "standard input", the pipe's path or the command line.
    const QString& label() const { return label_; }
    const QString& failure() const { return failure_; }
    // Frames handed to frameArrived (those the filter passed) by the running stream, or the last one.
    int64_t received() const;
    // Frames of pcapng interfaces that are not Ethernet, skipped.
    int64_t skipped() const;
    // While frameArrived is raised: the frame's capture time and length on the
    // wire, its own link type (its header is Ethernet by now) and its comments (null: none).
    CaptureTime frameTime() const { return frameStamp_.time; }
    uint32_t frameWireLength() const { return frameStamp_.wireLength; }
    int frameLinkType() const { return frameLinkType_; }
    const FrameComments* frameComments() const { return frameComments_; }

signals:
    // One frame: its captured bytes and their count, valid only during the emission.
    void frameArrived(const uint8_t* data, int size);
    // After a run of frameArrived: what had come is handed over.
    void framesHanded();
    // The stream ended (the writer closed it) or was refused or found
    // damaged; reading has stopped. `notes` says how, one sentence a line.
    void streamEnded(const QString& notes, bool failed);
    // The command wrote a line to its standard error (lastErrorLine()).
    void errorLineChanged();

private:
    enum class Outcome { Drained, SliceOver, Finished, Gone };
    using Take = std::function<int(uint8_t* buffer, size_t capacity, size_t& got)>;
    // Stops a running stream and sets up the filter and reader of the next; false after a bad filter.
    bool prepare(const QString& filter);
    // Feeds what `take` gives until it has no more (or, sliced, 4 ms have passed).
    Outcome readAvailable(const Take& take, bool sliced);
    void readInput();
    void readProcess();
    void readErrorLines();
    void processEnded();
    void finish();

    QProcess* process_ = nullptr;
    QString program_;
    QStringList arguments_;
    QString lastErrorLine_;
    bool reading_ = false;   // a read is under way (a handler may yield inside it)

    std::unique_ptr<StreamInput> input_;
    std::shared_ptr<StreamReader> reader_;
    FilterExpression filter_;
    int64_t received_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QString label_;
    QString failure_;
    FrameStamp frameStamp_;
    int frameLinkType_ = 1;
    const FrameComments* frameComments_ = nullptr;
    uint64_t run_ = 0;   // which start the frames being handed over belong to
};
