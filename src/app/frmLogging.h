#pragma once
#include <QPointer>

#include "ui/FormWindow.h"

// "Logging": reachable only through a hidden menu item; nothing is logged.
class FrmLogging : public FormWindow {
    Q_OBJECT
public:
    FrmLogging();
};

FrmLogging* frmLogging();
