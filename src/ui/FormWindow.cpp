#include "FormWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "platform/yieldPoint.h"
#include "ui/focusFrame.h"

FormEvents& formEvents()
{
    static FormEvents events;
    return events;
}

FormWindow::FormWindow(const QString& objectName, const QString& caption, const QString& menuItem)
    : menuItem_(menuItem)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_QuitOnClose, false);
}

void FormWindow::closeEvent(QCloseEvent* e)
{
    unload();
    if (!menuItem_.isEmpty()) emit formEvents().unloaded(menuItem_);
    closing_ = true;
    e->accept();
    deleteWhenWorkEnds(this);
}

void FormWindow::keyPressEvent(QKeyEvent* e)
{
    if (!pressFocusedButton(this, e)) QWidget::keyPressEvent(e);
}
