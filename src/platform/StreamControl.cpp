#include "StreamControl.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>

#include "core/frameFilter.h"
#include "core/pcapSession.h"
#include "core/streamInput.h"
#include "core/streamReader.h"

namespace {
// One wake-up reads for at most this long, then lets the event loop serve
// clicks and repaints; the pipe holds the rest and wakes it again.
constexpr qint64 kSliceNs = 4'000'000;
constexpr size_t kChunk = 64 << 10;   // one read: a pipe's whole buffer

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

bool StreamControl::open(const QString& name, const QString& filter)
{
    stop();
    auto frameFilter = std::make_unique<FrameFilter>();
    std::string error;
    if (!frameFilter->compile(filter.toStdString(), error)) {
        failure_ = QString::fromStdString(describeCaptureFailure({CaptureFailure::Kind::BadFilter, error}, {}, {}));
        return false;
    }
    auto input = std::make_unique<StreamInput>();
    if (!input->open(name.toStdString())) {
        failure_ = QString::fromStdString(input->why());
        return false;
    }
    label_ = QString::fromStdString(input->label());
    failure_.clear();
    reader_ = std::make_shared<StreamReader>();
    filter_ = std::move(frameFilter);
    input_ = std::move(input);
    received_ = 0;
    ++run_;
    return true;
}

void StreamControl::begin()
{
    if (!input_ || notifier_) return;
    notifier_ = new QSocketNotifier(input_->fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StreamControl::readInput);
}

void StreamControl::stop()
{
    if (!input_) return;
    ++run_;   // a frame handler that stops the stream gets no further frame
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    input_.reset();
}

bool StreamControl::isWaiting() const { return input_ && reader_->bytesIn() == 0; }
int64_t StreamControl::received() const { return received_; }
int64_t StreamControl::skipped() const { return reader_->otherLinkFrames(); }

void StreamControl::readInput()
{
    if (!input_) return;
    QPointer<StreamControl> alive(this);
    const uint64_t run = run_;
    const auto current = [&] { return alive && run_ == run; };
    // The frame handler yields to the event loop; this read must not run again inside it.
    notifier_->setEnabled(false);
    const auto visit = [&](const StreamedFrame& f) {
        if (!filter_->accepts(f.data, f.size, f.stamp)) return true;
        ++received_;
        frameTime_ = f.stamp.time;
        emit frameArrived(f.data, int(f.size));
        return current();
    };
    std::unique_ptr<uint8_t[]> chunk(new uint8_t[kChunk]);
    QElapsedTimer slice;
    slice.start();
    // A handler may start another stream: this one's reader lives until the call ends.
    const std::shared_ptr<StreamReader> reader = reader_;
    for (;;) {
        size_t got = 0;
        const StreamInput::Read read = input_->read(chunk.get(), kChunk, got);
        if (read == StreamInput::Read::Nothing) break;
        if (read != StreamInput::Read::Bytes) {
            if (read == StreamInput::Read::Failed) failure_ = QString::fromStdString(input_->why());
            return finish();
        }
        if (!reader->feed(chunk.get(), got, visit) && current()) return finish();
        if (!current()) return;
        if (slice.nsecsElapsed() >= kSliceNs) break;
    }
    notifier_->setEnabled(true);
    emit framesHanded();
}

// The writer has gone, or the stream cannot be read on: what came is handed
// over, then how it ended.
void StreamControl::finish()
{
    reader_->end();
    const bool failed = reader_->failed() || !failure_.isEmpty();
    QString notes = reader_->failed() ? QString::fromStdString(reader_->error()) : notesText(reader_->endNotes());
    if (!failure_.isEmpty()) notes = failure_ + '\n' + notes;
    stop();
    emit framesHanded();
    emit streamEnded(notes, failed);
}
