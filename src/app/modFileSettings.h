#pragma once
// The preference items of the File menu, hidden: nothing is remembered
// between runs, so their windows are empty and nothing is read or written.
class QWidget;

// Shows the empty "Load Preferences" window (frmLoadPreferences) modeless.
void loadPreferences();
// Shows the empty "Save Preferences" window (frmSavePreferences) modeless.
void savePreferences();

QWidget* frmLoadPreferences();
QWidget* frmSavePreferences();
