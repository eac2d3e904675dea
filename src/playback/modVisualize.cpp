#include "modVisualize.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/accessors.h"
#include "core/modProcess.h"
#include "platform/yieldPoint.h"
#include "core/modFilters.h"
#include "playback/frmFilters.h"
#include "vis/viewRegistry.h"

void displayPackets(int64_t first, int64_t last)
{
    // Each call has its own work buffer: a call started at a yield point
    // (a step, the next captured frame) cannot disturb this one.
    std::array<uint8_t, kSlotBytes> work{};
    // Packet and slot numbers start at 1; 0 (what the store returns for a frame
    // it did not take) and below draw nothing.
    for (int64_t p = std::max<int64_t>(first, 1); p <= last; ++p) {
        if (!frmFilters()->filter(p)) continue;
        const int n = getPacketLength(p);
        // The packet is copied whole, so a handler run at the yield point
        // below never sees half of one packet and half of its successor.
        std::memcpy(work.data(), packetBytesOf(p), size_t(n) + 1);
        yieldPoint();
        yieldPoint();
        visualizePacket(p, work.data(), n + 1);
    }
}

void visualizePacket(int64_t packetNumber, const uint8_t* packetTxt, int packetLen)
{
    std::array<uint8_t, kSlotBytes> copy;
    std::memcpy(copy.data(), packetTxt, copy.size());
    yieldPoint();
    if (filterPacket(packetNumber)) return;

    computeByteFrequency(copy.data(), packetLen);
    const PacketToDraw packet{packetNumber, copy.data(), packetLen, &byteFrequency()};
    for (const ViewRow& row : viewRows()) {
        // Re-fetched for every packet: a view closed at a yield point comes back hidden.
        VisWindow& view = viewWindow(row);
        if (view.isShown()) view.Plot(packet);
        if (ThumbnailRenderer* thumbnail = viewThumbnail(row))
            thumbnail->plotThumbnail(packet, thumbnailTarget(row.thumbIndex));
    }
}

void clearVisualizations()
{
    for (const ViewRow& row : viewRows()) {
        viewWindow(row).clear();
        if (ThumbnailRenderer* thumbnail = viewThumbnail(row)) thumbnail->clear(thumbnailTarget(row.thumbIndex));
    }
}

void initBufferViews()
{
    for (const ViewRow& row : viewRows()) {
        if (!row.accumulatesOverRange) continue;
        viewWindow(row).initBufferView();
        if (ThumbnailRenderer* thumbnail = viewThumbnail(row))
            thumbnail->initBufferView(thumbnailTarget(row.thumbIndex));
    }
}
