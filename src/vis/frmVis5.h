#pragma once
// The scatter plot window: the picture, the two axis lists (vertical at the
// top left, horizontal at the bottom right) and the dark grey axis bars.
#include <QPointer>
#include <array>
#include <memory>

#include "vis/VisForm.h"
#include "vis/scatterPlot.h"

class QCheckBox;
class QComboBox;
class PictureSurface;

class FrmVis5 : public VisForm {
    Q_OBJECT
public:
    FrmVis5();

    PictureSurface* picGraph;
    std::array<QComboBox*, 2> comboAxis;   // comboAxis(1) vertical, comboAxis(2) horizontal
    QCheckBox* chkLabels;   // ticked: the marks carry their values' text
    QWidget* shpVertAxis;
    QWidget* shpHorzAxis;

    void Plot(const PacketToDraw& packet) override { plot_->Plot(packet); }
    void clear() override { plot_->clear(); }
    std::vector<const PictureSurface*> screenshotPictures() const override { return {picGraph}; }

    const ScatterPlot& plot() const { return *plot_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();

    std::unique_ptr<ScatterPlot> plot_;
};

FrmVis5* frmVis5();
