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
    bool confirmOverwrite() override
    {
        return dialogs().messageBox("Packets exist in the buffer.  Do you wish to overwrite?",
                                    "Verify Buffer Delete", MsgButtons::YesNo, MsgIcon::Exclamation)
               == MsgResult::Yes;
    }
    void clearVisualizations() override { ::clearVisualizations(); }
};
}

StoreHost& guiStoreHost()
{
    static GuiStoreHost host;
    return host;
}
