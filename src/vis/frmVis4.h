#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis4 : public PendingView {
    Q_OBJECT
public:
    FrmVis4() : PendingView("frmVis4", "nivora: Binary Rainfall", "vis4") {}
};

FrmVis4* frmVis4();
