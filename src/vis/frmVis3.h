#pragma once
// The parallel coordinate plot window: the picture, one axis list under each
// of the 2..17 axes, and the number of axes.
#include <QPointer>
#include <array>
#include <memory>

#include "vis/VisForm.h"
#include "vis/parallelPlot.h"

class QCheckBox;
class QComboBox;
class QLabel;
class PictureSurface;
class SpinButton;

class FrmVis3 : public VisForm {
    Q_OBJECT
public:
    FrmVis3();

    PictureSurface* picGraph;
    std::array<QComboBox*, ParallelPlot::kMaxAxes> comboAxis;   // comboAxis(i) at [i - 1]
    QCheckBox* chkLabels;   // ticked: the marks carry their values' text
    SpinButton* spnNumAxes;
    QLabel* lblNumAxes;
    QLabel* lblNumAxesCaption;

    void Plot(const PacketToDraw& packet) override { plot_->Plot(packet); }
    void clear() override { plot_->clear(); }
    std::vector<const PictureSurface*> screenshotPictures() const override { return {picGraph}; }

    const ParallelPlot& plot() const { return *plot_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Erases the plot and lays the picture, the axes and their lists out again.
    void layoutControls();

    std::unique_ptr<ParallelPlot> plot_;
};

FrmVis3* frmVis3();
