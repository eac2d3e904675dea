#include "modFileSettings.h"

#include "ui/FormWindow.h"

namespace {
class FrmLoadPreferences : public FormWindow {
public:
    FrmLoadPreferences() : FormWindow("frmLoadPreferences", "Load Preferences") { resize(300, 120); }
};
class FrmSavePreferences : public FormWindow {
public:
    FrmSavePreferences() : FormWindow("frmSavePreferences", "Save Preferences") { resize(300, 120); }
};
QPointer<FrmLoadPreferences> loadWindow;
QPointer<FrmSavePreferences> saveWindow;

void showModeless(QWidget* w)
{
    w->show();
    w->raise();
}
}

QWidget* frmLoadPreferences() { return formInstance(loadWindow); }
QWidget* frmSavePreferences() { return formInstance(saveWindow); }

void loadPreferences() { showModeless(frmLoadPreferences()); }
void savePreferences() { showModeless(frmSavePreferences()); }
