#pragma once
// "WINDOW.CONTROL=VALUE": setting a control of one of the program's windows
// as a user would. A drop-down takes the text of an entry; a toggle, check or
// option button true or false; a spin button or scroll bar a number in its range.
#include <QString>
#include <QStringList>

// Sets the control; on failure returns a message naming the bad part.
QString applySetting(const QString& setting);
// Every control that can be set, as "WINDOW.CONTROL=" followed by that with
// each value it takes (an entry's text, true or false; none for a number),
// for the shell's completion.
QStringList settableControls();
