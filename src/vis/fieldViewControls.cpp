#include "fieldViewControls.h"

#include <QComboBox>

#include "core/fieldCatalogue.h"
#include "platform/colorRef.h"
#include "ui/controlNames.h"

QComboBox* makeAxisList(QWidget* parent, int index)
{
    auto* list = new QComboBox(parent);
    nameArrayElement(list, "comboAxis", index);
    for (const char* name : fieldNames()) list->addItem(name);
    list->setCurrentIndex(-1);
    list->setMaxVisibleItems(kFieldCount);
    return list;
}

QWidget* makeShape(QWidget* parent, const char* name, ColorRef colour)
{
    auto* shape = new QWidget(parent);
    shape->setObjectName(name);
    setBackground(shape, colour);
    shape->setAttribute(Qt::WA_TransparentForMouseEvents);
    return shape;
}

void setBackground(QWidget* widget, ColorRef colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, toQColor(colour));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}
