#include "WrappingMenuBar.h"

#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

WrappingMenuBar::WrappingMenuBar(int width, QWidget* parent) : QWidget(parent), width_(width)
{
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    setFixedWidth(width);
}

QMenu* WrappingMenuBar::addMenu(const QString& title)
{
    auto* menu = new QMenu(title, this);
    menus_ << menu;
    relayout();
    return menu;
}

void WrappingMenuBar::relayout()
{
    // Fill rows greedily in order; a menu that does not fit starts a new row.
    for (QMenuBar* row : rows_) {
        row->clear();
        row->deleteLater();
    }
    rows_.clear();
    QMenuBar* row = nullptr;
    for (QMenu* menu : menus_) {
        if (row) {
            row->addMenu(menu);
            if (row->sizeHint().width() <= width_) continue;
            row->removeAction(menu->menuAction());
        }
        row = new QMenuBar(this);
        row->setNativeMenuBar(false);
        row->setObjectName(QString("menuRow%1").arg(rows_.size() + 1));
        row->addMenu(menu);
        rows_ << row;
        layout_->addWidget(row);
    }
}
