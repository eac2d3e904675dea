#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis6 : public PendingView {
    Q_OBJECT
public:
    FrmVis6() : PendingView(6) {}
};

FrmVis6* frmVis6();
