#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis5 : public PendingView {
    Q_OBJECT
public:
    FrmVis5() : PendingView(5) {}
};

FrmVis5* frmVis5();
