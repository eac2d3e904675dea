#pragma once
// The detail view: the bytes of the packet just played, as characters in the
// upper box and as hexadecimal in the lower one, in the packet's protocol
// colour, and below them its comments and when it was captured, with the
// "Comment…" button that edits them. It has no thumbnail.
#include <QPointer>
#include <QTimer>

#include "vis/VisForm.h"
#include "vis/detailText.h"
#include "vis/hitIndex.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class SpinButton;

class FrmVis7 : public VisForm {
    Q_OBJECT
public:
    FrmVis7();

    QPlainTextEdit* txtASCII;
    QPlainTextEdit* txtHex;
    QLabel* lblFontSize;
    SpinButton* spnFontSize;        // points, 8..24
    QLabel* lblCurrentFontSize;
    QLabel* lblCaptureTime;         // when the packet was captured, and since the one before
    QLabel* lblComment;             // the packet's comments
    QPushButton* cmdComment;        // adds, edits or removes them

    // Keeps the packet; the boxes show it at the next refresh (or flush()).
    void Plot(const PacketToDraw& packet) override;
    void clear() override;
    // The boxes show one packet, the last: the ones before it need nothing.
    int64_t packetsKept() const override { return 1; }
    void skip(const PacketToDraw&) override {}
    // Wherever asked: the one packet the boxes show.
    std::vector<int32_t> packetsAt(int, int, int, int) const override;

    // Shows the last plotted packet in the boxes now.
    void flush();
    ColorRef textColor() const { return text_.textColor(); }

    // The boxes are refreshed at most every other screen frame: a full-size
    // frame's texts take about a millisecond to lay out and paint, and bytes
    // changing faster than this cannot be read anyway.
    static constexpr int kRefreshMs = 33;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();
    static int wholeLines(const QPlainTextEdit* box, int room);
    void setFontSize(int points);
    void showComment();

    DetailText text_;
    int32_t shown_ = kNoPacket;   // the packet plotted last; kNoPacket after a clear
    bool pending_ = false;
    QTimer refresh_;
};

FrmVis7* frmVis7();
