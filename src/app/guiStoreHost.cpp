#include "guiStoreHost.h"

#include "core/storeHost.h"
#include "platform/DialogLayer.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"

namespace {
class GuiStoreHost final : public StoreHost {
public:
    void showPacketCounter(int64_t count) override { frmFilters()->showPacketCounter(count); }
    void showPacketRange(int64_t count, int64_t first) override { frmFilters()->showPacketRange(count, first); }
    Answer confirmOverwrite() override
    {
        const MsgResult result = dialogs().messageBox(
            "Packets exist in the buffer.  Do you wish to overwrite?\n\n"
            "Yes empties the buffer first. No keeps the packets and adds the new ones after them.",
            "Verify Buffer Delete", MsgButtons::YesNoCancel, MsgIcon::Exclamation);
        if (result == MsgResult::Yes) return Answer::Yes;
        return result == MsgResult::No ? Answer::No : Answer::Cancel;
    }
    void clearVisualizations() override { ::clearVisualizations(); }
};
}

StoreHost& guiStoreHost()
{
    static GuiStoreHost host;
    return host;
}
