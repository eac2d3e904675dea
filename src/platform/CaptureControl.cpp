#include "CaptureControl.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>

#include "AdapterSource.h"
#include "core/modLibrary.h"

namespace {
// One wake-up hands over frames in batches for at most this long, then lets
// the event loop serve clicks and repaints; the kernel buffer holds the rest.
constexpr qint64 kSliceNs = 4'000'000;
}

CaptureControl::CaptureControl(QObject* parent) : QObject(parent) { setObjectName("packet"); }

CaptureControl::~CaptureControl() { stop(); }

void CaptureControl::probeAdapters()
{
    AdapterListing listing = adapterSource().probe();
    adapters_.adapters_ = std::move(listing.adapters);
    probeError_ = QString::fromStdString(listing.error);
}

bool CaptureControl::open()
{
    stop();
    if (!current_) {
        failure_ = {CaptureFailure::Kind::NoSuchAdapter, "no adapter is selected"};
        return false;
    }
    std::unique_ptr<PcapSession> session =
        PcapSession::open(current_->name, filter_, CaptureMode::NonBlocking, failure_);
    if (!session) return false;
    session_ = std::move(session);
    counts_ = {};
    return true;
}

void CaptureControl::beginReading()
{
    if (!session_ || notifier_) return;
    notifier_ = new QSocketNotifier(session_->selectableFd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CaptureControl::readFrames);
}

void CaptureControl::stop()
{
    if (!session_) return;
    counts_.dropped = session_->kernelDrops();
    // Stop may come from a frame handler's yield, in the middle of readFrames:
    // the handle stays open until that call lets go of it, and hands over no more frames.
    session_->breakLoop();
    session_.reset();
    if (!notifier_) return;   // stopped before reading began
    notifier_->setEnabled(false);
    notifier_->deleteLater();
    notifier_ = nullptr;
}

CaptureCounts CaptureControl::counts()
{
    if (session_) counts_.dropped = session_->kernelDrops();
    return counts_;
}

void CaptureControl::readFrames()
{
    const std::shared_ptr<PcapSession> session = session_;
    if (!session) return;
    QPointer<CaptureControl> alive(this);
    // The frame handler yields to the event loop; this read must not run again inside it.
    notifier_->setEnabled(false);
    const auto current = [&] { return alive && session_ == session; };
    // A handler that stops the capture (or destroys the control) breaks the
    // loop, and libpcap hands over no further frame of the batch.
    // The frame handlers store; the drawing waits for framesHanded.
    const FrameSink sink = [this, &session](const uint8_t* data, int size) {
        ++counts_.received;
        frameTime_ = session->frameStamp().time;
        frameWireLength_ = session->frameStamp().wireLength;
        emit frameArrived(data, size);
    };
    QElapsedTimer slice;
    slice.start();
    int handed = 0;
    do {
        const PacketRangeHold burst;   // the player's labels told once a batch, not once a frame
        handed = session->dispatch(kBatchFrames, sink);
    } while (handed > 0 && current() && slice.nsecsElapsed() < kSliceNs);
    if (!current()) return;
    if (handed < 0) {   // the adapter failed
        const QString reason = QString::fromStdString(session->lastError());
        stop();
        emit captureLost(reason);
        return;
    }
    // Frames that come while the handed ones are drawn are read meanwhile.
    notifier_->setEnabled(true);
    emit framesHanded();
}
