#pragma once
// The detail view's drawing: the bytes of the packet just played, as
// characters (printable ones, others as ".") and as hexadecimal pairs, in the
// packet's protocol colour, which packet it is and when it was captured.
#include <QString>
#include <array>

#include "core/colorRef.h"
#include "core/modLibrary.h"
#include "vis/VisWindow.h"

class DetailText {
public:
    // Keeps the packet and its colour; the texts are made by build().
    void Plot(const PacketToDraw& packet);
    // Makes the texts of the last plotted packet.
    void build();

    const QString& ascii() const { return ascii_; }
    const QString& hex() const { return hex_; }
    // "Packet 3882, 2023-11-14 23:13:20.000001 (+0.100000 s)": the packet's
    // number, when it was captured and how long after the held packet before
    // it, or "Packet 3882, no capture time" for a packet from a dataset; then,
    // for a packet stored from another link type, "; Linux cooked v2, header replaced".
    const QString& time() const { return time_; }
    ColorRef textColor() const { return textColor_; }

private:
    std::array<uint8_t, kSlotBytes> bytes_{};
    int length_ = 0;
    int64_t number_ = 0;
    CaptureTime captured_ = kNoTime;
    CaptureTime before_ = kNoTime;   // the held packet before it, if any
    int linkType_ = 1;               // what it was before it became Ethernet
    ColorRef textColor_ = rgb(255, 255, 255);
    QString ascii_;
    QString hex_;
    QString time_;
};
