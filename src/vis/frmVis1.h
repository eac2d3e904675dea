#pragma once
// The text rainfall view: every packet as one line of characters, hexadecimal
// or decimal numbers, written downwards in its protocol colour and starting
// again at the top, with a blank band kept below the newest line. Its
// thumbnail draws one green line per packet, as long as the packet is large.
#include <QPointer>
#include <array>

#include "app/FormWindow.h"
#include "vis/VisWindow.h"
#include "vis/rainfallLine.h"

class QComboBox;
class QLabel;
class QPushButton;
class PictureSurface;
class SpinButton;

class FrmVis1 : public FormWindow, public VisWindow {
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

    void Plot(const PacketToDraw& packet) override;
    void plotThumbnail(const PacketToDraw& packet) override;
    void clear() override;
    void ScreenShot(const QString& systemTime, ScreenshotLog& log) override;
    bool isShown() const override { return isVisible(); }

    // value / 1518 x range, rounded half to even; 0 when range is not positive.
    static int scaleRange(int value, int range);
    // A fresh full view; the thumbnail keeps running.
    void initVis();
    void initVisThumb() {}
    void initVisAll();

    // Characters that fit on one line of picGraph.
    int lineCells() const;
    // The text the last Plot printed, packet-number prefix included; empty
    // when it printed nothing.
    QString lastLine() const;
    int currentRow() const { return currentRow_; }
    int thumbRow() const { return thumbRow_; }

    static constexpr int kRowPitch = 15;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();
    void showStringControls();
    void selectNextMode();
    void printLine(int start, int length);

    // Room for "<packet number>  " in front of the line, so the prefix costs no copy.
    static constexpr int kPrefixRoom = 16;
    std::array<char16_t, kPrefixRoom + kRainLineCapacity> line_{};
    int lineStart_ = kPrefixRoom;
    int lineLength_ = 0;
    int cellWidth_ = 1;
    int currentRow_ = 0;
    int thumbRow_ = 0;
};

FrmVis1* frmVis1();
