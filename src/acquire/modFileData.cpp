#include "modFileData.h"

#include "platform/DialogLayer.h"

void openDataset()
{
    dialogs().messageBox("Loading datasets is not available in this build yet.", applicationTitle(),
                         MsgButtons::Ok, MsgIcon::Information);
}
