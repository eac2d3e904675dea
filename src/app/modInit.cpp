#include "modInit.h"

#include "app/guiStoreHost.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"

void initStartup()
{
    setStoreHost(&guiStoreHost());
    resetBuffer("startup");   // allocates the store; writes the playback counter
}
