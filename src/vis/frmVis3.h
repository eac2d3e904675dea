#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis3 : public PendingView {
    Q_OBJECT
public:
    FrmVis3() : PendingView(3) {}
};

FrmVis3* frmVis3();
