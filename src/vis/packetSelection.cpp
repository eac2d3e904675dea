#include "packetSelection.h"

namespace {
SelectionHost* host = nullptr;
}

void setSelectionHost(SelectionHost* h) { host = h; }

PacketSelection& packetSelection()
{
    static PacketSelection selection;
    return selection;
}

void PacketSelection::choose(int64_t packet)
{
    chosen_ = packet;
    emit changed(packet);
    if (packet != 0 && host) host->packetChosen(packet);
}

void PacketSelection::step(int direction)
{
    if (!host) return;
    if (const int64_t next = host->drawnNeighbour(chosen_, direction); next != 0) choose(next);
}
