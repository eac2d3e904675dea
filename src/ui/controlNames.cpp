#include "controlNames.h"

#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

void nameArrayElement(QWidget* control, const QString& arrayName, int index)
{
    control->setObjectName(arrayName);
    control->setProperty("index", index);
}

QWidget* findControl(const QWidget* window, const QString& name)
{
    static const QRegularExpression element(R"(^(\w+)\[(\d+)\]$)");
    const QRegularExpressionMatch m = element.match(name);
    if (!m.hasMatch()) return window->findChild<QWidget*>(name);
    const int index = m.captured(2).toInt();
    for (QWidget* w : window->findChildren<QWidget*>(m.captured(1))) {
        const QVariant i = w->property("index");
        if (i.isValid() && i.toInt() == index) return w;
    }
    return nullptr;
}
