#pragma once
// The capture control: an adapter collection, a current adapter, start, stop
// and one signal per received frame. Frames come through the event loop
// (libpcap's descriptor is watched by a socket notifier), so the signal is
// raised on the user-interface thread and no other thread touches the store.
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/pcapAdapters.h"
#include "core/pcapSession.h"

class QSocketNotifier;

// The adapters found by the last probe, in libpcap's order, numbered from 1.
class AdapterCollection {
public:
    int count() const { return int(adapters_.size()); }
    const CaptureAdapter& item(int index) const { return adapters_.at(size_t(index - 1)); }
    auto begin() const { return adapters_.begin(); }
    auto end() const { return adapters_.end(); }

private:
    friend class CaptureControl;
    std::vector<CaptureAdapter> adapters_;
};

struct CaptureCounts {
    int64_t received = 0;   // frames handed to frameArrived
    uint64_t dropped = 0;   // frames the kernel dropped because the buffer was full
};

class CaptureControl : public QObject {
    Q_OBJECT
public:
    explicit CaptureControl(QObject* parent = nullptr);
    ~CaptureControl() override;

    // Frames asked of libpcap at a time; a wake-up reads batches of them.
    static constexpr int kBatchFrames = 32;

    // Reads the adapter list afresh from the adapter source.
    void probeAdapters();
    const AdapterCollection& adapters() const { return adapters_; }
    // Why the last probe found nothing, when the list could not be read at all.
    const QString& probeError() const { return probeError_; }

    void setCurrentAdapter(const CaptureAdapter& adapter) { current_ = adapter; }
    const std::optional<CaptureAdapter>& currentAdapter() const { return current_; }
    // libpcap filter syntax, applied by the next open; blank captures every frame.
    void setFilter(const QString& expression) { filter_ = expression.toStdString(); }

    // Opens the current adapter (stopping a running capture first); false when
    // the capture cannot start, and failure() says why. Its frames wait in the
    // adapter's buffer, uncounted, until beginReading.
    bool open();
    // Delivers the open adapter's frames, from the first that came after open.
    void beginReading();
    void stop();
    bool isCapturing() const { return session_ != nullptr; }
    const CaptureFailure& failure() const { return failure_; }
    // Figures of the running capture, or of the last one after it stopped.
    CaptureCounts counts();
    // While frameArrived is raised: when the kernel received that frame.
    CaptureTime frameTime() const { return frameTime_; }
    // While frameArrived is raised: how long that frame was on the wire.
    uint32_t frameWireLength() const { return frameWireLength_; }
    // The link type of the running capture's adapter; its frames arrive as Ethernet.
    int linkType() const { return session_ ? session_->linkType() : kLinkEthernet; }

signals:
    // One received frame: its captured bytes and their count. The bytes are
    // valid only during the emission, so receivers connect directly.
    void frameArrived(const uint8_t* data, int size);
    // After a run of frameArrived: every frame the adapter had ready is handed over.
    void framesHanded();
    // The adapter failed mid-capture (removed, gone down); the capture has stopped.
    void captureLost(const QString& reason);

private:
    void readFrames();

    AdapterCollection adapters_;
    QString probeError_;
    std::optional<CaptureAdapter> current_;
    std::string filter_;
    CaptureFailure failure_;
    std::shared_ptr<PcapSession> session_;
    QSocketNotifier* notifier_ = nullptr;
    CaptureCounts counts_;
    CaptureTime frameTime_ = kNoTime;
    uint32_t frameWireLength_ = 0;
};
