#include "frmAbout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "core/modEncodings.h"
#include "platform/PictureSurface.h"

namespace {
QPointer<FrmAbout> instance;

constexpr int kPictureW = 120, kPictureH = 90;
constexpr int kWindowW = 420, kWindowH = 170;

// Packets falling as coloured lines, the way the views draw traffic: one
// column per "packet", its colour that of a protocol class and its length
// from a fixed pattern, so the picture is the same at every start.
void drawPicture(PictureSurface& pic)
{
    pic.setBackColor(rgb(0, 0, 0));
    const auto colors = ProtocolSettings::defaultClassColors();
    for (int x = 2; x < kPictureW - 2; x += 3) {
        const int k = x / 3;
        const int top = 4 + (k * 37) % 41;
        const int length = 12 + (k * 53) % 37;
        pic.line(x, top, x, std::min(kPictureH - 4, top + length), colors[size_t(k * 7 % colors.size())]);
    }
}

// A caption printed three times: two dark copies offset down and right as
// its shadow, the caption itself on top.
void shadowedLabels(QWidget* parent, const QString& text, const QFont& font, int firstNumber, QPoint at)
{
    const QColor shades[3] = {QColor(64, 64, 64), QColor(128, 128, 128), QColor(255, 255, 255)};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(text, parent);
        l->setObjectName(QString("Label%1").arg(firstNumber + i));
        l->setFont(font);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, shades[i]);
        l->setPalette(pal);
        l->adjustSize();
        l->move(at + QPoint(2 - i, 2 - i));
    }
}
}

FrmAbout* frmAbout() { return formInstance(instance); }

FrmAbout::FrmAbout() : FormWindow("frmAbout", "about nivora")
{
    setFixedSize(kWindowW, kWindowH);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(32, 32, 32));
    setPalette(pal);

    Picture1 = new PictureSurface(this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(12, 12, kPictureW, kPictureH);
    drawPicture(*Picture1);

    QFont name("Verdana");
    name.setPixelSize(15);
    name.setBold(true);
    shadowedLabels(this, "nivora network visualization", name, 1, {146, 14});

    Label7 = new QLabel("version 1.36", this);
    Label7->setObjectName("Label7");
    QFont verdana("Verdana");
    verdana.setPixelSize(12);
    Label7->setFont(verdana);
    QPalette light = Label7->palette();
    light.setColor(QPalette::WindowText, QColor(224, 224, 224));
    Label7->setPalette(light);
    Label7->setGeometry(146, 44, 260, 18);

    QFont small("Verdana");
    small.setPixelSize(11);
    shadowedLabels(this, "README.md in the nivora sources", small, 4, {146, 76});

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setGeometry(kWindowW - 92, kWindowH - 40, 80, 28);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::hide);
}

void FrmAbout::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) hide();
    else FormWindow::keyPressEvent(e);
}
