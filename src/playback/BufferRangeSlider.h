#pragma once
// The buffer-range track (picBufferSlider): a lower thumb (sliderBufferMin)
// and an upper thumb (sliderBufferMax) that pick a stretch of the held
// packets. Drag a thumb with the mouse, or focus it (Tab) and move it with
// Left/Right (Shift: ten steps); letting go reports the thumbs' positions.
//
// All positions are the track's pixels. The upper thumb rests sliderMargin
// pixels short of the track's right end (4 px = 60 twips), and that margin
// is counted back in when its position is reported, so both thumbs at their
// outer limits report 0 and usable.
#include <QString>

#include "platform/PictureSurface.h"

class BufferRangeSlider : public PictureSurface {
    Q_OBJECT
public:
    static constexpr int kThumbSize = 17;

    // trackWidth x trackHeight pixels, both thumbs at their outer limits.
    BufferRangeSlider(int trackWidth, int trackHeight, QWidget* parent);

    PictureSurface* sliderBufferMin;
    PictureSurface* sliderBufferMax;
    // "mindown" while the lower thumb is dragged, "minoff" after; "maxdown"
    // while the upper one is dragged.
    QString sliderBufferMinTag;
    QString sliderBufferMaxTag;

    const int sliderMargin = 4;
    int grabOffset = 0;   // where inside the thumb the drag started

    // The positions letting go reports: usable = track - both thumbs,
    // minPos = the lower thumb's left, maxPos = the upper thumb's left
    // less one thumb plus sliderMargin.
    int usable() const;
    int minPos() const;
    int maxPos() const;
    // Both thumbs back at their outer limits (the whole range), no drag under way.
    void resetThumbs();

signals:
    // A drag (or a key move) ended with the thumbs at these positions.
    void rangeChosen(int minPos, int maxPos, int usable);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Moves a thumb by dx as a drag would, keeping the thumbs apart by at least
    // one pixel, the lower one at or right of 0, the upper one inside the margin.
    void dragLower(int dx);
    void dragUpper(int dx);
    void letGo();
    void paintThumb(PictureSurface* thumb, bool focused);
};
