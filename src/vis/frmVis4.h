#pragma once
// The binary rainfall window: the picture its drawing goes to, the mode list,
// the static and dynamic scroll buttons and the two highlight toggles.
#include <QPointer>
#include <array>
#include <memory>

#include "vis/VisForm.h"
#include "vis/binaryRainfall.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class PictureSurface;

class FrmVis4 : public VisForm {
    Q_OBJECT
public:
    FrmVis4();

    PictureSurface* picGraph;
    PictureSurface* picGraphBack;   // same size as picGraph, only ever cleared
    QComboBox* cmbVisMode;          // "packet length", "rainfall 24:1", "rainfall 8:1", "rainfall 1:1"
    std::array<QRadioButton*, 2> radScroll;   // static, dynamic
    QLabel* lblStaticScroll;
    QLabel* lblDynamicScroll;
    QLabel* lblHighlight;
    QPushButton* tglASCII;
    QPushButton* tglNOP;

    void Plot(const PacketToDraw& packet) override { rain_->Plot(packet); }
    void clear() override { rain_->initVis(); }
    int64_t packetsKept() const override { return rain_->packetsKept(); }
    void skip(const PacketToDraw&) override { rain_->skip(); }
    void initBufferView() override { initVisAll(); }
    std::vector<const PictureSurface*> screenshotPictures() const override { return {picGraph}; }

    // A fresh full view with the controls' settings; the thumbnail keeps running.
    void initVisAll();
    const BinaryRainfall& rain() const { return *rain_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();
    void applyControls();
    void selectNextMode();

    std::unique_ptr<BinaryRainfall> rain_;
};

FrmVis4* frmVis4();
