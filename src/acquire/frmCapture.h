#pragma once
// The capture window ("Capture"): pick a network adapter, start and stop a live capture.
#include <QPointer>

#include "app/FormWindow.h"

class FrmCapture : public FormWindow {
    Q_OBJECT
public:
    FrmCapture();
};

FrmCapture* frmCapture();
