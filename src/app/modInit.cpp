#include "modInit.h"

#include "app/guiStoreHost.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "playback/frmEncodings.h"
#include "playback/modEncodings.h"

void initStartup()
{
    setStoreHost(&guiStoreHost());
    resetBuffer("startup");   // allocates the store; writes the playback counter
    etherColor = frmEncodings()->swatchColor("picEther");
    ipColor = frmEncodings()->swatchColor("picIP");
}
