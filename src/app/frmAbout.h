#pragma once
#include <QPointer>

#include "ui/FormWindow.h"

class QLabel;
class QPushButton;
class PictureSurface;

// "about nivora": a picture drawn by the program itself, the name, the
// version and where to read more. OK or Escape hides it.
class FrmAbout : public FormWindow {
    Q_OBJECT
public:
    FrmAbout();

    PictureSurface* Picture1;
    QLabel* Label7;   // "version 1.36"
    QPushButton* btnOK;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

FrmAbout* frmAbout();
