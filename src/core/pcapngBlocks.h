#pragma once
// The pcapng blocks a writer needs, appended to a byte buffer in this
// machine's byte order: one section, one Ethernet interface counting
// nanoseconds, and an enhanced packet block per frame with its comments.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "frameComments.h"

using PcapngBuffer = std::vector<uint8_t>;

// The section header (of unknown length) and the one interface, number 0.
void appendPcapngHead(PcapngBuffer& out, uint32_t snapLength);

// One frame on interface 0: `timeNs` nanoseconds since 1970, `captured` bytes
// of `wireLength`, each comment an opt_comment (cut to kMaxCommentBytes at a
// character boundary; cutComment tells when that happens).
void appendPcapngPacket(PcapngBuffer& out, const uint8_t* frame, uint32_t captured, uint32_t wireLength,
                        uint64_t timeNs, const FrameComments* comments);

// How many bytes of `text` an option can keep: all, or the most up to
// kMaxCommentBytes that end on a whole UTF-8 character.
size_t keptCommentBytes(const std::string& text);
