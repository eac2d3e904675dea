#include "modInit.h"

#include <QAction>

#include "app/frmMain.h"
#include "app/guiSelectionHost.h"
#include "app/guiStoreHost.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "playback/frmEncodings.h"
#include "vis/followMenu.h"
#include "vis/packetSelection.h"

void initStartup()
{
    setStoreHost(&guiStoreHost());
    setSelectionHost(&guiSelectionHost());
    // A view's Follow menu fills the filters window's Show only line, opened as from its menu item.
    setShowOnlyHandler([](const std::string& expression) {
        if (!frmEncodings()->isVisible()) frmMain()->menuItem("ToolEncodings")->trigger();
        frmEncodings()->showOnly(QString::fromStdString(expression));
    });
    resetBuffer("startup");   // allocates the store; writes the playback counter
}
