#pragma once
// The context menu of every view's pictures: "Show only" expressions that
// follow the chosen packet, and "Show everything". What applying one does
// (the filters window's Show only line) is the handler start-up installs, so
// the views need no filters window.
#include <functional>
#include <string>

class QMenu;
class QWidget;

using ShowOnlyHandler = std::function<void(const std::string& expression)>;
void setShowOnlyHandler(ShowOnlyHandler handler);

// A new menu for the packet chosen now; its following items are disabled
// while none is chosen. The caller owns it.
QMenu* makeFollowMenu(QWidget* parent);
