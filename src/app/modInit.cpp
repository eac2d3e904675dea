#include "modInit.h"

#include "app/guiSelectionHost.h"
#include "app/guiStoreHost.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "vis/packetSelection.h"

void initStartup()
{
    setStoreHost(&guiStoreHost());
    setSelectionHost(&guiSelectionHost());
    resetBuffer("startup");   // allocates the store; writes the playback counter
}
