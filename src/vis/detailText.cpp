#include "detailText.h"

#include <algorithm>
#include <cstring>

#include "core/accessors.h"
#include "core/colourRules.h"
#include "core/linkHeader.h"
#include "core/linkOrigins.h"

namespace {
constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
}

void DetailText::Plot(const PacketToDraw& packet)
{
    textColor_ = packetColour(packet.number);
    length_ = std::clamp(packet.len, 0, kSlotBytes);
    std::memcpy(bytes_.data(), packet.bytes, size_t(length_));
    number_ = packet.number;
    // The times are read now: the store may move on before the texts are made.
    const bool held = packet.number >= firstHeldPacket() && packet.number <= getPacketCount();
    captured_ = held ? getCaptureTime(packet.number) : kNoTime;
    before_ = held && packet.number > firstHeldPacket() ? getCaptureTime(packet.number - 1) : kNoTime;
    linkType_ = held ? linkTypeOfPacket(packet.number) : link_type::kEthernet;
}

void DetailText::build()
{
    time_ = QString("Packet %1, ").arg(number_);
    if (captured_ == kNoTime) {
        time_ += QStringLiteral("no capture time");
    } else {
        time_ += QString::fromStdString(localTimeText(captured_));
        if (before_ != kNoTime) {
            const int64_t since = captured_ - before_;
            time_ += QString(" (%1%2)").arg(since < 0 ? "" : "+", QString::fromStdString(spanText(since)));
        }
    }
    if (const std::string note = replacedHeaderNote(linkType_); !note.empty()) time_ += "; " + QString::fromStdString(note);

    ascii_.resize(length_);
    hex_.resize(4 * length_);
    QChar* ascii = ascii_.data();
    QChar* hex = hex_.data();
    for (int i = 0; i < length_; ++i) {
        const uint8_t b = bytes_[size_t(i)];
        ascii[i] = (b >= 33 && b <= 126) ? QChar(b) : QChar(u'.');
        hex[4 * i] = QChar(kHexDigits[b >> 4]);
        hex[4 * i + 1] = QChar(kHexDigits[b & 15]);
        hex[4 * i + 2] = QChar(u' ');
        hex[4 * i + 3] = QChar(u' ');
    }
}
