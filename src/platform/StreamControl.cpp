#include "StreamControl.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>
#include <optional>

#include "core/commandWords.h"
#include "core/modLibrary.h"
#include "core/pcapSession.h"
#include "core/streamInput.h"
#include "core/streamReader.h"

namespace {
// One wake-up reads for at most this long, then lets the event loop serve
// clicks and repaints; the pipe holds the rest and wakes it again.
constexpr qint64 kSliceNs = 4'000'000;
constexpr size_t kChunk = 64 << 10;   // one read: a pipe's whole buffer
constexpr int kKillAfterMs = 2000;    // a command Stop asked to end is killed when it has not after this long
// What a take reports besides bytes.
constexpr int kBytes = 0, kNothing = 1, kEnded = 2;

QString notesText(const std::vector<std::string>& notes)
{
    QStringList lines;
    for (const std::string& note : notes) lines << QString::fromStdString(note);
    return lines.join('\n');
}
}

StreamControl::StreamControl(QObject* parent) : QObject(parent)
{
    setObjectName("stream");
    reader_ = std::make_shared<StreamReader>();
}

StreamControl::~StreamControl() { stop(); }

bool StreamControl::prepare(const QString& filter)
{
    stop();
    std::string error;
    std::optional<FilterExpression> compiled = FilterExpression::compile(filter.toStdString(), error);
    if (!compiled) {
        failure_ = QString::fromStdString(describeCaptureFailure({CaptureFailure::Kind::BadFilter, error}, {}, {}));
        return false;
    }
    filter_ = std::move(*compiled);
    reader_ = std::make_shared<StreamReader>();
    received_ = 0;
    failure_.clear();
    lastErrorLine_.clear();
    ++run_;
    return true;
}

bool StreamControl::open(const QString& name, const QString& filter)
{
    if (!prepare(filter)) return false;
    auto input = std::make_unique<StreamInput>();
    if (!input->open(name.toStdString())) {
        failure_ = QString::fromStdString(input->why());
        return false;
    }
    label_ = QString::fromStdString(input->label());
    input_ = std::move(input);
    return true;
}

bool StreamControl::openCommand(const QString& commandLine, const QString& filter)
{
    if (!prepare(filter)) return false;
    const CommandWords split = splitCommandLine(commandLine.toStdString());
    if (!split.error.empty() || split.words.empty()) {
        failure_ = "The command cannot be run: " + (split.words.empty() && split.error.empty()
                                                        ? QString("it is blank")
                                                        : QString::fromStdString(split.error));
        return false;
    }
    program_ = QString::fromStdString(split.words.front());
    arguments_.clear();
    for (size_t k = 1; k < split.words.size(); ++k) arguments_ << QString::fromStdString(split.words[k]);
    label_ = commandLine.trimmed();
    process_ = new QProcess(this);
    return true;
}

void StreamControl::begin()
{
    if (input_ && !notifier_) {
        notifier_ = new QSocketNotifier(input_->fd(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &StreamControl::readInput);
    }
    if (process_ && process_->state() == QProcess::NotRunning) {
        connect(process_, &QProcess::readyReadStandardOutput, this, &StreamControl::readProcess);
        connect(process_, &QProcess::readyReadStandardError, this, &StreamControl::readErrorLines);
        connect(process_, &QProcess::finished, this, &StreamControl::processEnded);
        connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            failure_ = QString("%1 could not start: %2").arg(program_, process_->errorString());
            finish();
        });
        process_->start(program_, arguments_, QIODevice::ReadOnly);
    }
}

void StreamControl::stop()
{
    if (!isStreaming()) return;
    ++run_;   // a frame handler that stops the stream gets no further frame
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    input_.reset();
    if (QProcess* process = std::exchange(process_, nullptr)) {
        process->disconnect(this);
        if (process->state() == QProcess::NotRunning) {
            process->deleteLater();
        } else {   // asked to end, then made to
            connect(process, &QProcess::finished, process, &QObject::deleteLater);
            process->terminate();
            QTimer::singleShot(kKillAfterMs, process, &QProcess::kill);
        }
    }
}

bool StreamControl::isWaiting() const { return isStreaming() && reader_->bytesIn() == 0; }
int64_t StreamControl::received() const { return received_; }
int64_t StreamControl::skipped() const { return reader_->otherLinkFrames(); }

StreamControl::Outcome StreamControl::readAvailable(const Take& take, bool sliced)
{
    QPointer<StreamControl> alive(this);
    const uint64_t run = run_;
    const auto current = [&] { return alive && run_ == run; };
    const auto visit = [&](const StreamedFrame& f) {
        if (!filter_.matches(f.data, f.size, f.stamp.wireLength)) return true;
        ++received_;
        frameStamp_ = f.stamp;
        frameLinkType_ = f.linkType;
        frameComments_ = f.comments;
        emit frameArrived(f.data, int(f.size));
        if (alive) frameComments_ = nullptr;
        return current();
    };
    std::unique_ptr<uint8_t[]> chunk(new uint8_t[kChunk]);
    QElapsedTimer slice;
    slice.start();
    // A handler may start another stream: this one's reader lives until the call ends.
    const std::shared_ptr<StreamReader> reader = reader_;
    reading_ = true;
    const auto done = [&](Outcome outcome) {
        if (alive) reading_ = false;
        return outcome;
    };
    for (;;) {
        size_t got = 0;
        const int read = take(chunk.get(), kChunk, got);
        if (read == kNothing) return done(Outcome::Drained);
        if (read == kEnded) {
            finish();
            return done(Outcome::Finished);
        }
        bool fed = false;
        {
            const PacketRangeHold burst;   // the player's labels told once a chunk, not once a frame
            fed = reader->feed(chunk.get(), got, visit);
        }
        if (!fed && current()) {
            finish();
            return done(Outcome::Finished);
        }
        if (!current()) return done(Outcome::Gone);
        if (sliced && slice.nsecsElapsed() >= kSliceNs) return done(Outcome::SliceOver);
    }
}

void StreamControl::readInput()
{
    if (!input_ || reading_) return;
    // The frame handler yields to the event loop; this read must not run again inside it.
    notifier_->setEnabled(false);
    const Outcome outcome = readAvailable(
        [this](uint8_t* buffer, size_t capacity, size_t& got) {
            const StreamInput::Read read = input_->read(buffer, capacity, got);
            if (read == StreamInput::Read::Failed) failure_ = QString::fromStdString(input_->why());
            return read == StreamInput::Read::Bytes ? kBytes : read == StreamInput::Read::Nothing ? kNothing : kEnded;
        },
        true);
    if (outcome != Outcome::Drained && outcome != Outcome::SliceOver) return;
    notifier_->setEnabled(true);   // what is left wakes it again
    emit framesHanded();
}

void StreamControl::readProcess()
{
    // Inside a read, the read under way takes what came meanwhile.
    if (!process_ || reading_) return;
    QProcess* process = process_;
    const Outcome outcome = readAvailable(
        [process](uint8_t* buffer, size_t capacity, size_t& got) {
            const qint64 n = process->read(reinterpret_cast<char*>(buffer), qint64(capacity));
            got = n > 0 ? size_t(n) : 0;
            return n > 0 ? kBytes : kNothing;
        },
        true);
    if (outcome != Outcome::Drained && outcome != Outcome::SliceOver) return;
    if (outcome == Outcome::SliceOver) {   // the rest waits in the process's buffer
        const uint64_t run = run_;
        QTimer::singleShot(0, this, [this, run] {
            if (run_ == run) readProcess();
        });
    }
    emit framesHanded();
}

void StreamControl::readErrorLines()
{
    const QStringList lines = QString::fromLocal8Bit(process_->readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (!line->trimmed().isEmpty()) {
            lastErrorLine_ = line->trimmed();
            emit errorLineChanged();
            return;
        }
}

// The command has ended: what it wrote is read to the end, then how it ended
// is told; an error before any frame is a failure.
void StreamControl::processEnded()
{
    if (reading_) {   // ended while a handler yields inside a read: told once that read is over
        const uint64_t run = run_;
        QTimer::singleShot(1, this, [this, run] {
            if (run_ == run) processEnded();
        });
        return;
    }
    readErrorLines();
    QProcess* process = process_;
    // finish() runs at the end of what the command wrote, unless a handler stops the stream first.
    readAvailable(
        [process](uint8_t* buffer, size_t capacity, size_t& got) {
            const qint64 n = process->read(reinterpret_cast<char*>(buffer), qint64(capacity));
            got = n > 0 ? size_t(n) : 0;
            return n > 0 ? kBytes : kEnded;
        },
        false);
}

// The writer has gone, or the stream cannot be read on: what came is handed
// over, then how it ended.
void StreamControl::finish()
{
    reader_->end();
    bool failed = reader_->failed() || !failure_.isEmpty();
    QString notes = reader_->failed() ? QString::fromStdString(reader_->error()) : notesText(reader_->endNotes());
    if (process_ && failure_.isEmpty() && process_->state() == QProcess::NotRunning) {
        const bool crashed = process_->exitStatus() == QProcess::CrashExit;
        const int code = process_->exitCode();
        if (crashed || code != 0) {
            QString how = crashed ? QString("%1 was ended by a signal").arg(program_)
                                  : QString("%1 ended with status %2").arg(program_).arg(code);
            if (!lastErrorLine_.isEmpty()) how += ": " + lastErrorLine_;
            notes = how + '\n' + notes;
            failed = failed || reader_->frames() == 0;
        }
    }
    if (!failure_.isEmpty()) notes = failure_ + '\n' + notes;
    stop();
    emit framesHanded();
    emit streamEnded(notes, failed);
}
