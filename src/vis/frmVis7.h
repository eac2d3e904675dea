#pragma once
// The detail view: the bytes of the packet just played, as characters in the
// upper box and as hexadecimal in the lower one, in the packet's protocol
// colour. It has no thumbnail.
#include <QPointer>
#include <QTimer>
#include <array>

#include "app/FormWindow.h"
#include "core/modLibrary.h"
#include "platform/colorRef.h"
#include "vis/VisWindow.h"

class QLabel;
class QPlainTextEdit;
class SpinButton;

class FrmVis7 : public FormWindow, public VisWindow {
    Q_OBJECT
public:
    FrmVis7();

    QPlainTextEdit* txtASCII;
    QPlainTextEdit* txtHex;
    QLabel* lblFontSize;
    SpinButton* spnFontSize;        // points, 8..24
    QLabel* lblCurrentFontSize;

    // Keeps the packet; the boxes show it at the next refresh (or flush()).
    void Plot(const PacketToDraw& packet) override;
    bool hasThumbnail() const override { return false; }
    void plotThumbnail(const PacketToDraw&) override {}   // never called: no thumbnail
    void clear() override;
    bool isShown() const override { return isVisible(); }

    // Shows the last plotted packet in the boxes now.
    void flush();
    ColorRef textColor() const { return textColor_; }

    // The boxes are refreshed at most every other screen frame: a full-size
    // frame's texts take about a millisecond to lay out and paint, and bytes
    // changing faster than this cannot be read anyway.
    static constexpr int kRefreshMs = 33;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();
    void setFontSize(int points);

    std::array<uint8_t, kSlotBytes> bytes_{};
    int length_ = 0;
    bool pending_ = false;
    ColorRef textColor_ = rgb(255, 255, 255);
    QTimer refresh_;
    QString asciiText_;
    QString hexText_;
};

FrmVis7* frmVis7();
