#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis1 : public PendingView {
    Q_OBJECT
public:
    FrmVis1() : PendingView("frmVis1", "nivora: Text Rainfall", "vis1") {}
};

FrmVis1* frmVis1();
