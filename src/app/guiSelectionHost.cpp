#include "guiSelectionHost.h"

#include <QAction>

#include "app/frmMain.h"
#include "core/accessors.h"
#include "core/drawnSequence.h"
#include "core/modFilters.h"
#include "core/modLibrary.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"
#include "vis/frmVis7.h"
#include "vis/packetSelection.h"
#include "vis/viewRegistry.h"

namespace {
bool held(int64_t packet) { return packet >= firstHeldPacket() && packet <= getPacketCount(); }

class GuiSelectionHost : public SelectionHost {
public:
    void packetChosen(int64_t packet) override
    {
        if (!held(packet)) return;
        // Opened as from the View menu, so its item is checked; it first shows what was drawn.
        if (!frmVis7()->isVisible()) frmMain()->menuItem(viewRow(7).menuItem)->trigger();
        frmVis7()->Plot({int32_t(packet), packetBytesOf(packet), getPacketLength(packet) + 1, nullptr});
        frmVis7()->flush();
        frmFilters()->showChosenPacket(packet);
    }

    // Walks the positions of the drawn sequence, passing over what the filter hid.
    int64_t drawnNeighbour(int64_t packet, int direction) const override
    {
        const DrawnSequence& drawn = drawnSequence();
        int64_t position = packet == 0 ? drawn.endPosition() : drawn.lastPositionOf(packet);
        if (position < 0) return 0;
        const bool back = direction < 0 || packet == 0;   // with none chosen, the newest
        for (;;) {
            position = back ? drawn.previousKept(position) : drawn.nextKept(position + 1);
            if (position < 0 || position >= drawn.endPosition()) return 0;
            const int64_t p = drawn.packetAt(position);
            if (held(p) && !filterPacket(p)) return p;
        }
    }
};
}

SelectionHost& guiSelectionHost()
{
    static GuiSelectionHost host;
    return host;
}
