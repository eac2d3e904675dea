#pragma once
// "WINDOW.CONTROL=VALUE": setting a control of one of the program's windows
// as a user would. A drop-down takes the text of an entry; a toggle, check or
// option button true or false; a spin button or scroll bar a number in its range.
#include <QString>

// Sets the control; on failure returns a message naming the bad part.
QString applySetting(const QString& setting);
