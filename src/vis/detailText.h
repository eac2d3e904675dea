#pragma once
// The detail view's drawing: the bytes of the packet just played, as
// characters (printable ones, others as ".") and as hexadecimal pairs, in the
// packet's protocol colour.
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
    ColorRef textColor() const { return textColor_; }

private:
    std::array<uint8_t, kSlotBytes> bytes_{};
    int length_ = 0;
    ColorRef textColor_ = rgb(255, 255, 255);
    QString ascii_;
    QString hex_;
};
