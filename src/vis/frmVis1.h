#pragma once
// The text rainfall window: the picture its drawing goes to and the controls
// that choose the mode, the strings shown and whether the Ethernet header is skipped.
#include <QPointer>
#include <memory>

#include "vis/VisForm.h"
#include "vis/textRainfall.h"

class QComboBox;
class QLabel;
class QPushButton;
class PictureSurface;
class SpinButton;

class FrmVis1 : public VisForm {
    Q_OBJECT
public:
    FrmVis1();

    PictureSurface* picGraph;
    PictureSurface* picGraphBack;   // same size as picGraph, only ever cleared
    QComboBox* cmbVisMode;          // "ASCII", "hex", "decimal"
    QPushButton* tglPrintASCII;     // down: ASCII mode shows only printable strings
    SpinButton* spnLength;          // the shortest string shown
    QLabel* lblLength;
    QPushButton* tglEther;          // down: lines start at byte 14

    void Plot(const PacketToDraw& packet) override { rain_->Plot(packet); }
    void clear() override { rain_->initVis(); }
    int64_t packetsKept() const override { return rain_->packetsKept(); }
    void skip(const PacketToDraw& packet) override { rain_->skip(packet); }
    std::vector<const PictureSurface*> screenshotPictures() const override { return {picGraph}; }

    // A fresh full view; the thumbnail keeps running.
    void initVisAll();
    const TextRainfall& rain() const { return *rain_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();
    void applyControls();
    void selectNextMode();

    std::unique_ptr<TextRainfall> rain_;
};

FrmVis1* frmVis1();
