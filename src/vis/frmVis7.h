#pragma once
#include <QPointer>

#include "vis/PendingView.h"

class FrmVis7 : public PendingView {
    Q_OBJECT
public:
    FrmVis7() : PendingView("frmVis7", "detail view", "vis7") {}
};

FrmVis7* frmVis7();
