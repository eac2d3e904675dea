#pragma once
// The byte frequency window: the picture its drawing goes to, the colour mode
// list, the static and dynamic scroll buttons, and the threshold strip that
// is shown (and the window grown by its height) only in frequency mode.
#include <QPointer>
#include <array>
#include <memory>

#include "vis/VisForm.h"
#include "vis/byteFrequency.h"

class QComboBox;
class QLabel;
class QRadioButton;
class QScrollBar;
class PictureSurface;

class FrmVis2 : public VisForm {
    Q_OBJECT
public:
    FrmVis2();

    PictureSurface* picGraph;
    PictureSurface* picGraphBack;   // same size and place, only ever cleared
    QLabel* Label1;                 // "0" and "255" under the ends of the byte-value axis
    QLabel* Label2;
    QComboBox* cmbVisMode;          // "byte presence", "byte frequency (by packet)"
    std::array<QRadioButton*, 2> radScroll;   // static, dynamic
    QLabel* lblStaticScroll;
    QLabel* lblDynamicScroll;
    QLabel* lblFrequencyThreshold;
    QScrollBar* scrThreshold;       // 0..1000: 0 to 20% of a packet
    QLabel* lblThresholdMin;
    QLabel* lblThresholdMax;
    QLabel* lblThreshold;           // the threshold, "10%"

    void Plot(const PacketToDraw& packet) override { bytes_->Plot(packet.number, *packet.frequency); }
    void clear() override { bytes_->initVis(); }
    int64_t packetsKept() const override { return bytes_->packetsKept(); }
    void skip(const PacketToDraw&) override { bytes_->skip(); }
    void initBufferView() override { initVis2All(); }
    std::vector<const PictureSurface*> screenshotPictures() const override { return {picGraph}; }

    // A fresh full view; the thumbnail keeps running.
    void initVis2All();
    const ByteFrequency& bytes() const { return *bytes_; }

    // The window's height with the threshold strip hidden, and the strip's height.
    static constexpr int kHeightTwips = 7500;
    static constexpr int kStripTwips = 1045;

private:
    void switchMode();
    void showThreshold();
    void readOut(QPoint pos);

    std::unique_ptr<ByteFrequency> bytes_;
};

FrmVis2* frmVis2();
