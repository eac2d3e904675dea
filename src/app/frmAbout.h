#pragma once
#include <QPointer>

#include "ui/FormWindow.h"

// "about nivora": name and version.
class FrmAbout : public FormWindow {
    Q_OBJECT
public:
    FrmAbout();
};

FrmAbout* frmAbout();
