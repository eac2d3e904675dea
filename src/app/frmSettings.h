#pragma once
// "Settings": five colour buttons, each with its swatch, and "Done". The
// colours stay in their swatches: nothing else draws with them, and no menu
// item opens the window.
#include <QPointer>
#include <array>

#include "ui/FormWindow.h"

class QLabel;
class QPushButton;
class PictureSurface;

class FrmSettings : public FormWindow {
    Q_OBJECT
public:
    FrmSettings();

    QLabel* lblSettings;
    std::array<QPushButton*, 5> Command{};   // Command1..Command5
    std::array<PictureSurface*, 5> Shape1{};  // the swatches, indexes 0..4
    QPushButton* btnDone;
};

FrmSettings* frmSettings();
