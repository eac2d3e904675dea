#include "windowHelpers.h"

#include <QAction>
#include <QWidget>

#include "frmMain.h"

void toggleWindow(QWidget* window, const QString& menuItem)
{
    QAction* item = frmMain()->menuItem(menuItem);
    if (!item->isChecked()) {
        item->setChecked(true);
        if (window->isMinimized()) window->showNormal();
        else window->show();
        window->raise();
    } else {
        item->setChecked(false);
        window->hide();
    }
}

void invertMenuCheck(QWidget*, const QString& menuItem)
{
    if (!frmMainExists()) return;
    if (QAction* item = frmMain()->menuItem(menuItem)) item->setChecked(!item->isChecked());
}
