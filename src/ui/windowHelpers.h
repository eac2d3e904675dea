#pragma once
// Showing and hiding windows from the main window's menus.
class QAction;
class QWidget;

// Shows the window (restoring it when minimised) and checks the menu item, or,
// when the item is checked, unchecks it and hides the window, which keeps its state.
void toggleWindow(QWidget* window, QAction* menuItem);

// Flips the menu item's check mark (a window's unload clears its mark this way).
void invertMenuCheck(QAction* menuItem);
