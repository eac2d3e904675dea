#include "frmSettings.h"

#include <QLabel>
#include <QPushButton>

#include "platform/DialogLayer.h"
#include "platform/PictureSurface.h"
#include "ui/controlNames.h"

namespace {
QPointer<FrmSettings> instance;

struct ColourRow {
    const char* caption;
    ColorRef design;
};
const ColourRow kRows[5] = {
    {"UDP in Color", rgb(192, 64, 0)},   {"UDP out Color", rgb(255, 128, 0)}, {"TCP in Color", rgb(0, 128, 0)},
    {"TCP out Color", rgb(0, 255, 0)},   {"Background Color", rgb(0, 0, 0)},
};
constexpr int kRowH = 32, kButtonW = 150, kSwatch = 22;
}

FrmSettings* frmSettings() { return formInstance(instance); }

FrmSettings::FrmSettings() : FormWindow("frmSettings", "Settings")
{
    lblSettings = new QLabel("Global Settings", this);
    lblSettings->setObjectName("lblSettings");
    QFont verdana("Verdana");
    verdana.setPixelSize(14);
    verdana.setBold(true);
    lblSettings->setFont(verdana);
    lblSettings->setGeometry(12, 8, kButtonW + kSwatch + 12, 24);

    for (int i = 0; i < 5; ++i) {
        const int y = 40 + i * kRowH;
        QPushButton* button = Command[size_t(i)] = new QPushButton(kRows[i].caption, this);
        button->setObjectName(QString("Command%1").arg(i + 1));
        button->setGeometry(12, y, kButtonW, kRowH - 6);
        PictureSurface* swatch = Shape1[size_t(i)] = new PictureSurface(this);
        nameArrayElement(swatch, "Shape1", i);
        swatch->setGeometry(12 + kButtonW + 10, y + 2, kSwatch, kSwatch);
        swatch->setBackColor(kRows[i].design);
        // The dialog opens on the swatch's colour, so Cancel leaves it as it was.
        connect(button, &QPushButton::clicked, this,
                [swatch, button] { swatch->setBackColor(dialogs().chooseColor(swatch->backColor(), button->text())); });
    }
    btnDone = new QPushButton("Done", this);
    btnDone->setObjectName("btnDone");
    btnDone->setGeometry(12, 40 + 5 * kRowH + 4, 80, 28);
    connect(btnDone, &QPushButton::clicked, this, &QWidget::hide);
    setFixedSize(12 + kButtonW + 10 + kSwatch + 12, 40 + 5 * kRowH + 44);
}
