#pragma once
// The packet store: a ring of 30000 slots, each holding one Ethernet frame of
// up to 1601 bytes and the header fields decoded from it, one column per field.
// Packets are numbered 1, 2, 3, ... since the last reset; packet n lives in
// slot ((n - 1) mod 30000) + 1, and a slot number maps to itself.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "captureTime.h"
#include "hugePageAllocator.h"

constexpr int32_t kSlotCount = 30000;
constexpr int kSlotBytes = 1601;          // byte positions 0..1600
constexpr int kLastPosition = kSlotBytes - 1;

using Octets2 = std::array<uint8_t, 2>;   // high byte, low byte (network order)
using Octets4 = std::array<uint8_t, 4>;   // address octets in frame order

// The columns, indexed by slot 1..30000 (index 0 is unused so slots index directly).
struct PacketColumns {
    std::vector<uint8_t, HugePageAllocator<uint8_t>> packetBytes;   // kSlotBytes per slot
    std::vector<int16_t> packetLength;    // index of the frame's last byte
    std::vector<CaptureTime> captureTime; // kNoTime for a frame from a dataset
    std::vector<uint32_t> wireLength;     // bytes the frame had on the wire, at least those stored
    std::vector<Octets2> etherType;
    std::vector<uint8_t> ipVersion;
    std::vector<uint8_t> ipHeaderLen;
    std::vector<uint8_t> ipDiffServices;
    std::vector<Octets2> ipTotalLength;
    std::vector<Octets2> ipIdentification;
    std::vector<uint8_t> ipFlagReserved;
    std::vector<uint8_t> ipFlagDF;
    std::vector<uint8_t> ipFlagMF;
    std::vector<Octets2> ipFragmentOffset;
    std::vector<uint8_t> ipTTL;
    std::vector<uint8_t> ipProtocol;
    std::vector<Octets2> ipHeaderChecksum;
    std::vector<Octets4> ipSource;
    std::vector<Octets4> ipDest;
    std::vector<Octets2> tcpSourcePort;
    std::vector<Octets2> tcpDestPort;
    std::vector<Octets2> udpSourcePort;
    std::vector<Octets2> udpDestPort;
};

// The store's state. Only the store and the accessors touch it directly.
namespace store_detail {
extern PacketColumns columns;
extern int64_t packetCount;   // 64 bits: 2^31 frames are only 6 hours at 100000 a second
extern int32_t writeSlot;
extern std::array<float, 256> byteFrequency;
}

// Empties the store: counters to 0, every column zero-filled, every time unknown.
void initBuffer();
// How many times the store has been emptied: tells one filling from the next.
uint64_t storeGeneration();

// The reset entry, by command word ("startup", "file", "capture"; exact case).
// "file" and "capture" ask before emptying a store that holds packets; false
// when the user cancelled, and nothing may be added.
bool resetBuffer(const std::string& command);

// Copies a frame into the next slot, decodes it and returns the slot.
// lastIndex is the frame size minus one. A frame longer than 1601 bytes is
// stored truncated to its first 1601; an empty frame (lastIndex < 0) is not
// stored and 0 is returned, a number that draws nothing. `time` is when the
// frame was captured, if known; `wireLength` how long it was on the wire (0,
// or less than the bytes handed: as long as the bytes handed).
int32_t addPacket(const uint8_t* frame, int lastIndex, CaptureTime time = kNoTime, uint32_t wireLength = 0);

// Slot of a packet number (or of a slot number, which maps to itself).
inline int32_t packetSlot(int64_t packetNumber)
{
    int64_t r = (packetNumber - 1) % kSlotCount;
    if (r < 0) r += kSlotCount;
    return static_cast<int32_t>(r + 1);
}

inline int64_t getPacketCount() { return store_detail::packetCount; }
inline int32_t getWriteSlot() { return store_detail::writeSlot; }

// Oldest packet number still held (1 while the ring has not wrapped).
inline int64_t firstHeldPacket()
{
    return store_detail::packetCount <= kSlotCount ? 1 : store_detail::packetCount - (kSlotCount - 1);
}

// Writes the counter and the held packet-number range into the playback window.
void updatePacketRange();

// While one lives, addPacket leaves the new range untold; the last one to end
// tells it once. A live source holds one over each batch of frames it hands
// over, which would otherwise rewrite the playback window's labels for every frame.
class PacketRangeHold {
public:
    PacketRangeHold();
    ~PacketRangeHold();
    PacketRangeHold(const PacketRangeHold&) = delete;
    PacketRangeHold& operator=(const PacketRangeHold&) = delete;
};

// The byte histogram of the packet being drawn (filled by computeByteFrequency).
inline std::array<float, 256>& byteFrequency() { return store_detail::byteFrequency; }
