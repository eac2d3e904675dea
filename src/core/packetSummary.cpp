#include "packetSummary.h"

#include "core/accessors.h"
#include "core/commentText.h"
#include "core/modLibrary.h"
#include "core/modLookUp.h"
#include "core/packetComments.h"

namespace {
constexpr int kTcp = 6, kUdp = 17;
constexpr size_t kCommentShown = 80;   // bytes of a comment a tool tip line shows

// The first kCommentShown bytes, ending on a whole UTF-8 character, with "…" when cut.
std::string shortened(const std::string& text)
{
    if (text.size() <= kCommentShown) return text;
    size_t end = kCommentShown;
    while (end > 0 && (uint8_t(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end) + "…";
}
}

std::string packetSummary(int64_t packet)
{
    std::string s = "Packet " + std::to_string(packet);
    if (packet < firstHeldPacket() || packet > getPacketCount()) return s + "  (not held)";
    const int protocol = getIPProtocol(packet);
    const bool tcp = protocol == kTcp, udp = protocol == kUdp;
    const auto port = [&](bool source) {
        if (tcp) return ":" + std::to_string(source ? getTCPSourcePort(packet) : getTCPDestPort(packet));
        if (udp) return ":" + std::to_string(source ? getUDPSourcePort(packet) : getUDPDestPort(packet));
        return std::string();
    };
    const std::string_view keyword = protocolName(protocol);
    s += "  " + (keyword.empty() ? std::to_string(protocol) : std::string(keyword));
    s += "  " + getSourceIP(packet) + port(true) + " > " + getDestIP(packet) + port(false);
    // The length as the field views show it ("Packet Length").
    s += "  length " + std::to_string(getPacketLength(packet));
    if (const std::optional<FrameComments> comments = packetComments(packet))
        s += "  comment: " + shortened(commentsOnOneLine(*comments));
    return s;
}
