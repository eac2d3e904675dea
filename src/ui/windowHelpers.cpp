#include "windowHelpers.h"

#include <QAction>
#include <QWidget>

void toggleWindow(QWidget* window, QAction* menuItem)
{
    if (!menuItem->isChecked()) {
        menuItem->setChecked(true);
        if (window->isMinimized()) window->showNormal();
        else window->show();
        window->raise();
    } else {
        menuItem->setChecked(false);
        window->hide();
    }
}

void invertMenuCheck(QAction* menuItem) { menuItem->setChecked(!menuItem->isChecked()); }
