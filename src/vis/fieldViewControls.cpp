#include "fieldViewControls.h"

#include <QAbstractItemView>
#include <QCheckBox>
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
    // The lists are narrow; open, they show every name whole.
    list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);
    return list;
}

QCheckBox* makeLabelsCheck(QWidget* parent)
{
    auto* check = new QCheckBox("labels", parent);
    check->setObjectName("chkLabels");
    check->setChecked(true);
    check->setToolTip("Draw each mark with its value; untick when labels pile up on busy traffic");
    QPalette palette = check->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    check->setPalette(palette);
    check->resize(check->sizeHint());
    return check;
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
