#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis3 : public PendingView {
    Q_OBJECT
public:
    FrmVis3() : PendingView("frmVis3", "nivora: Parallel Coordinate Plot", "vis3") {}
};

FrmVis3* frmVis3();
