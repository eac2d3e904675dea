#include "frmVis1.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "platform/twips.h"
#include "vis/byteTextFont.h"

namespace {
QPointer<FrmVis1> instance;

constexpr int kButtonHeight = 24;
}

FrmVis1* frmVis1() { return formInstance(instance); }

FrmVis1::FrmVis1() : VisForm(1)
{
    picGraphBack = new PictureSurface(this);
    picGraphBack->setObjectName("picGraphBack");
    picGraphBack->setBackColor(rgb(0, 0, 0));
    picGraphBack->hide();

    picGraph = new PictureSurface(this);
    picGraph->setObjectName("picGraph");
    picGraph->setBackColor(rgb(0, 0, 0));
    picGraph->setDrawFont(byteTextFont());
    picGraph->setToolTip("Double-click for the next display mode");
    rain_ = std::make_unique<TextRainfall>(*picGraph, *picGraphBack);

    cmbVisMode = new QComboBox(this);
    cmbVisMode->setObjectName("cmbVisMode");
    cmbVisMode->setToolTip("Display mode");

    tglPrintASCII = new QPushButton("Show Strings of Length N", this);
    tglPrintASCII->setObjectName("tglPrintASCII");
    tglPrintASCII->setCheckable(true);

    spnLength = new SpinButton(1, 9, 1, this);
    spnLength->setObjectName("spnLength");
    spnLength->setToolTip("N, the shortest string shown");

    lblLength = new QLabel(this);
    lblLength->setObjectName("lblLength");
    lblLength->setAlignment(Qt::AlignCenter);

    tglEther = new QPushButton("Strip Ether Header", this);
    tglEther->setObjectName("tglEther");
    tglEther->setCheckable(true);

    setMinimumSize(twips(2000), twips(3000));
    resize(640, 480);

    // Load: the modes are listed, "ASCII" is selected and the view starts afresh.
    cmbVisMode->addItems({"ASCII", "hex", "decimal"});
    cmbVisMode->setCurrentIndex(0);
    initVisAll();
    lblLength->setText(QString::number(spnLength->value()));

    // A changed mode starts the view afresh, and so does picking the mode
    // the list already shows (activated; a change also comes through it, and
    // starting afresh twice costs nothing visible).
    connect(cmbVisMode, &QComboBox::currentIndexChanged, this, [this] { initVisAll(); });
    connect(cmbVisMode, &QComboBox::activated, this, [this] { initVisAll(); });
    connect(picGraph, &PictureSurface::doubleClicked, this, &FrmVis1::selectNextMode);
    connect(tglPrintASCII, &QPushButton::toggled, this, &FrmVis1::applyControls);
    connect(tglEther, &QPushButton::toggled, this, &FrmVis1::applyControls);
    connect(spnLength, &SpinButton::valueChanged, this, [this](int v) {
        lblLength->setText(QString::number(v));
        applyControls();
    });
}

void FrmVis1::initVisAll()
{
    rain_->initVis();
    applyControls();
}

// Hands the controls' state to the drawing. N is shown only while strings
// are shown in ASCII mode.
void FrmVis1::applyControls()
{
    RainLineRules& rules = rain_->rules;
    rules.mode = RainMode(std::clamp(cmbVisMode->currentIndex(), 0, 2));
    rules.stripEther = tglEther->isChecked();
    rules.stringsOnly = tglPrintASCII->isChecked();
    rules.minString = spnLength->value();

    const bool ascii = rules.mode == RainMode::Ascii;
    tglPrintASCII->setVisible(ascii);
    spnLength->setVisible(ascii && rules.stringsOnly);
    lblLength->setVisible(ascii && rules.stringsOnly);
}

void FrmVis1::selectNextMode() { cmbVisMode->setCurrentIndex((cmbVisMode->currentIndex() + 1) % 3); }

void FrmVis1::resizeEvent(QResizeEvent* e)
{
    VisForm::resizeEvent(e);
    layoutControls();
}

// The picture fills the window above a band of 1100 twips holding the controls;
// a resize starts the picture afresh.
void FrmVis1::layoutControls()
{
    const int graphHeight = std::max(1, height() - twips(1100));
    for (PictureSurface* pic : {picGraph, picGraphBack}) pic->setGeometry(0, 0, width(), graphHeight);
    rain_->initVis();
    const int comboTop = graphHeight + twips(150);
    cmbVisMode->setGeometry(8, comboTop, 110, cmbVisMode->sizeHint().height());
    const int rowTop = comboTop + cmbVisMode->height() + 6;
    tglPrintASCII->setGeometry(8, rowTop, 180, kButtonHeight);
    spnLength->setGeometry(192, rowTop, 18, kButtonHeight);
    lblLength->setGeometry(212, rowTop, 20, kButtonHeight);
    tglEther->setGeometry(240, rowTop, 140, kButtonHeight);
}
