#pragma once
// A frame drawn over a control's edge while it has the keyboard focus, for
// controls whose own look shows no focus (pictures, the position bar).
class QWidget;
class QKeyEvent;

void addFocusFrame(QWidget* control);

// Enter and Return press the focused button or check box of the window, as
// Space does. True when the key was taken.
bool pressFocusedButton(QWidget* window, QKeyEvent* e);
