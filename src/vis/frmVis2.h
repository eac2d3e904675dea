#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis2 : public PendingView {
    Q_OBJECT
public:
    FrmVis2() : PendingView(2) {}
};

FrmVis2* frmVis2();
