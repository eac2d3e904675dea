#pragma once
// Controls are found by the names the windows give them. The elements of a
// control array all carry the array's name and, as the property "index",
// their own index: "radScroll[1]" is element 1 of radScroll.
#include <QString>

class QWidget;

void nameArrayElement(QWidget* control, const QString& arrayName, int index);
// The control "name" or "name[index]" inside window; nullptr when there is none.
QWidget* findControl(const QWidget* window, const QString& name);
