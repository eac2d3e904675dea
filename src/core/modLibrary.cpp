#include "modLibrary.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "modProcess.h"
#include "packetComments.h"
#include "storeHost.h"

namespace store_detail {
PacketColumns columns;
int64_t packetCount = 0;
int32_t writeSlot = 0;
std::array<float, 256> byteFrequency{};
}

using namespace store_detail;

namespace {
StoreHost quietHost;
StoreHost* currentHost = &quietHost;
uint64_t generation = 0;
int rangeHolds = 0;          // PacketRangeHolds alive
bool rangeUntold = false;    // a packet was added while one was

template <class Column>
void zeroColumn(Column& column, size_t size)
{
    column.assign(size, typename Column::value_type{});
}
}

void setStoreHost(StoreHost* host) { currentHost = host ? host : &quietHost; }
StoreHost& storeHost() { return *currentHost; }

uint64_t storeGeneration() { return generation; }

void initBuffer()
{
    ++generation;
    packetCount = 0;
    writeSlot = 0;
    currentHost->showPacketCounter(0);

    const size_t n = kSlotCount + 1;
    PacketColumns& c = columns;
    zeroColumn(c.packetBytes, n * kSlotBytes);
    zeroColumn(c.packetLength, n);
    c.captureTime.assign(n, kNoTime);
    zeroColumn(c.wireLength, n);
    zeroColumn(c.etherType, n);
    zeroColumn(c.ipVersion, n);
    zeroColumn(c.ipHeaderLen, n);
    zeroColumn(c.ipDiffServices, n);
    zeroColumn(c.ipTotalLength, n);
    zeroColumn(c.ipIdentification, n);
    zeroColumn(c.ipFlagReserved, n);
    zeroColumn(c.ipFlagDF, n);
    zeroColumn(c.ipFlagMF, n);
    zeroColumn(c.ipFragmentOffset, n);
    zeroColumn(c.ipTTL, n);
    zeroColumn(c.ipProtocol, n);
    zeroColumn(c.ipHeaderChecksum, n);
    zeroColumn(c.ipSource, n);
    zeroColumn(c.ipDest, n);
    zeroColumn(c.tcpSourcePort, n);
    zeroColumn(c.tcpDestPort, n);
    zeroColumn(c.udpSourcePort, n);
    zeroColumn(c.udpDestPort, n);
    store_detail::byteFrequency.fill(0.0f);
    forgetPacketComments();
}

bool resetBuffer(const std::string& command)
{
    if (command == "startup") {
        initBuffer();
        return true;
    }
    if ((command == "file" || command == "capture") && packetCount > 0) {
        const StoreHost::Answer answer = currentHost->confirmOverwrite();
        if (answer == StoreHost::Answer::Cancel) return false;
        if (answer == StoreHost::Answer::Yes) {
            initBuffer();
            currentHost->clearVisualizations();
            updatePacketRange();
        }
    }
    return true;
}

int32_t addPacket(const uint8_t* frame, int lastIndex, CaptureTime time, uint32_t wireLength)
{
    if (lastIndex < 0) return 0;
    if (columns.packetLength.empty()) initBuffer();   // first use outside the program
    wireLength = std::max(wireLength, uint32_t(lastIndex) + 1);   // before a long frame is cut
    lastIndex = std::min(lastIndex, kLastPosition);

    ++packetCount;
    writeSlot = writeSlot < kSlotCount ? writeSlot + 1 : 1;
    std::memcpy(&columns.packetBytes[size_t(writeSlot) * kSlotBytes], frame, size_t(lastIndex) + 1);
    columns.packetLength[writeSlot] = static_cast<int16_t>(lastIndex);
    columns.captureTime[writeSlot] = time;
    columns.wireLength[writeSlot] = wireLength;
    decodeHeaders(writeSlot, frame, lastIndex + 1);
    if (rangeHolds == 0) updatePacketRange();
    else rangeUntold = true;
    return writeSlot;
}

PacketRangeHold::PacketRangeHold() { ++rangeHolds; }

PacketRangeHold::~PacketRangeHold()
{
    if (--rangeHolds == 0 && std::exchange(rangeUntold, false)) updatePacketRange();
}

void updatePacketRange()
{
    currentHost->showPacketRange(packetCount, firstHeldPacket());
}
