#pragma once
// The overview strip of the "Load Dataset" window: a whole file's frames,
// bin by bin, in the colours of their traffic (TCP, UDP, ICMP, other, the
// encoding colours), with the store's window on it as a frame the user drags.
// Along the capture time when every frame has one, else along the frame number.
#include <QWidget>
#include <optional>

#include "core/captureTime.h"
#include "core/frameOverview.h"

class OverviewStrip : public QWidget {
    Q_OBJECT
public:
    explicit OverviewStrip(QWidget* parent = nullptr);

    // byTime: the same frames by capture time, or null when the strip runs
    // along the frame number; farTimes of them lie far from the others' times.
    void setOverview(const FrameOverview& overview, int64_t frames, const FrameOverview* byTime = nullptr,
                     int64_t farTimes = 0);
    // The window's first frame and width in frames.
    void setWindow(int64_t first, int64_t width);
    // The capture time where the time axis begins (the file's first frame's), for the tool tip.
    void setTimeOrigin(CaptureTime origin);
    // How many frames of each bin shown match the find (empty: none run); marked above the mix.
    void setMatches(std::vector<int64_t> perBin);
    // The tool tip at x: the frame, its time and the matches under the pointer.
    QString pointerText(double x) const;

signals:
    // The user dragged or clicked the window to begin at `first` (1-based).
    void windowMoved(int64_t first);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    double xOf(int64_t frame) const;     // the left edge of frame (1-based) in pixels
    double frameAt(double x) const;      // the frame (0-based, with its fraction) at x
    const FrameOverview& shown() const { return time_ ? byTime_ : overview_; }
    void moveTo(double x);
    size_t binAt(double x) const;        // the bin shown at x

    FrameOverview overview_;
    FrameOverview byTime_;
    std::optional<TimeAxis> time_;
    int64_t frames_ = 0;
    int64_t first_ = 1;
    int64_t width_ = 0;
    double grab_ = 0;   // where in the window the drag took hold, in frames
    CaptureTime origin_ = kNoTime;
    std::vector<int64_t> matches_;
};
