#pragma once
// The combined view window: the central plot between the left and right
// histories (each with a hidden buffer and a grey axis line at its inner
// edge), the two axis lists and the packets per quantum.
#include <QPointer>
#include <array>
#include <memory>

#include "vis/VisForm.h"
#include "vis/combinedView.h"

class QCheckBox;
class QComboBox;
class QLabel;
class PictureSurface;
class SpinButton;

class FrmVis6 : public VisForm {
    Q_OBJECT
public:
    FrmVis6();

    PictureSurface* picGraph;
    PictureSurface* picgraphLeftFront;
    PictureSurface* picgraphLeftBack;   // hidden
    PictureSurface* picgraphRightFront;
    PictureSurface* picgraphRightBack;  // hidden
    QWidget* lineLeftAxis;               // inside picgraphLeftFront, at its right edge
    QWidget* linerightAxis;              // inside picgraphRightFront, at its left edge
    std::array<QComboBox*, 2> comboAxis;   // left axis, right axis
    QCheckBox* chkLabels;   // ticked: the marks carry their values' text
    SpinButton* spnBuckets;
    QLabel* lblBuckets;
    QLabel* lblBucketsCaption;

    void Plot(const PacketToDraw& packet) override { view_->Plot(packet); }
    void clear() override { view_->clear(); }
    // The centre keeps every packet; the histories move in one go at the last of a batch.
    int64_t packetsKept() const override { return 1; }
    void skip(const PacketToDraw& packet) override { view_->skip(packet); }
    std::vector<const PictureSurface*> screenshotPictures() const override
    {
        return {picgraphLeftFront, picGraph, picgraphRightFront};
    }

    const CombinedView& view() const { return *view_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Erases every picture, lays the window out again and puts both lists
    // back on "Source IP" and "TCP Dest Port".
    void layoutControls();

    std::unique_ptr<CombinedView> view_;
};

FrmVis6* frmVis6();
