#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis4 : public PendingView {
    Q_OBJECT
public:
    FrmVis4() : PendingView(4) {}
};

FrmVis4* frmVis4();
