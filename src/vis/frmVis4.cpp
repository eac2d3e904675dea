#include "frmVis4.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "platform/PictureSurface.h"
#include "platform/twips.h"
#include "ui/controlNames.h"

namespace {
QPointer<FrmVis4> instance;

constexpr int kButtonHeight = 24;
constexpr int kControlBand = 1100;   // twips under the picture
}

FrmVis4* frmVis4() { return formInstance(instance); }

FrmVis4::FrmVis4() : VisForm(4)
{
    picGraphBack = new PictureSurface(this);
    picGraphBack->setObjectName("picGraphBack");
    picGraphBack->setBackColor(rgb(0, 0, 0));
    picGraphBack->hide();

    picGraph = new PictureSurface(this);
    picGraph->setObjectName("picGraph");
    picGraph->setBackColor(rgb(0, 0, 0));
    picGraph->setToolTip("Double-click for the next display mode");
    rain_ = std::make_unique<BinaryRainfall>(*picGraph, *picGraphBack);

    cmbVisMode = new QComboBox(this);
    cmbVisMode->setObjectName("cmbVisMode");
    cmbVisMode->setToolTip("Bits per pixel");

    auto* scrollGroup = new QButtonGroup(this);
    const char* scrollCaptions[] = {"Static Scroll", "Dynamic Scroll"};
    std::array<QLabel*, 2> scrollLabels{};
    for (int i = 0; i < 2; ++i) {
        radScroll[size_t(i)] = new QRadioButton(this);
        nameArrayElement(radScroll[size_t(i)], "radScroll", i);
        radScroll[size_t(i)]->setToolTip(scrollCaptions[i]);
        scrollGroup->addButton(radScroll[size_t(i)], i);
        scrollLabels[size_t(i)] = new QLabel(scrollCaptions[i], this);
        scrollLabels[size_t(i)]->setBuddy(radScroll[size_t(i)]);
    }
    lblStaticScroll = scrollLabels[0];
    lblStaticScroll->setObjectName("lblStaticScroll");
    lblDynamicScroll = scrollLabels[1];
    lblDynamicScroll->setObjectName("lblDynamicScroll");
    radScroll[0]->setChecked(true);

    lblHighlight = new QLabel("Highlight", this);
    lblHighlight->setObjectName("lblHighlight");
    tglASCII = new QPushButton("Printable ASCII", this);
    tglASCII->setObjectName("tglASCII");
    tglASCII->setCheckable(true);
    tglNOP = new QPushButton("NOP 0x90", this);
    tglNOP->setObjectName("tglNOP");
    tglNOP->setCheckable(true);

    setMinimumSize(twips(2000), twips(3000));
    resize(440, 420 + twips(kControlBand));   // wide enough for the controls

    // Load: the modes are listed, "rainfall 8:1" is selected and the view starts afresh.
    cmbVisMode->addItems({"packet length", "rainfall 24:1", "rainfall 8:1", "rainfall 1:1"});
    cmbVisMode->setCurrentIndex(int(RainfallMode::Rain8To1));
    initVisAll();

    // Choosing a mode or a scroll clears the view, also when the choice is the one shown.
    connect(cmbVisMode, &QComboBox::currentIndexChanged, this, &FrmVis4::initVisAll);
    connect(cmbVisMode, &QComboBox::activated, this, &FrmVis4::initVisAll);
    connect(scrollGroup, &QButtonGroup::buttonClicked, this, &FrmVis4::initVisAll);
    connect(scrollGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) initVisAll();
    });
    connect(picGraph, &PictureSurface::doubleClicked, this, &FrmVis4::selectNextMode);
    // The highlights apply from the next packet on, over what is drawn.
    connect(tglASCII, &QPushButton::toggled, this, &FrmVis4::applyControls);
    connect(tglNOP, &QPushButton::toggled, this, &FrmVis4::applyControls);
}

void FrmVis4::initVisAll()
{
    applyControls();
    rain_->initVis();
}

// Hands the controls' state to the drawing.
void FrmVis4::applyControls()
{
    BinaryRainfallSettings& s = rain_->settings;
    s.mode = RainfallMode(std::clamp(cmbVisMode->currentIndex(), 0, 3));
    s.dynamicScroll = radScroll[1]->isChecked();
    s.highlightASCII = tglASCII->isChecked();
    s.highlightNOP = tglNOP->isChecked();
}

void FrmVis4::selectNextMode() { cmbVisMode->setCurrentIndex((cmbVisMode->currentIndex() + 1) % 4); }

void FrmVis4::resizeEvent(QResizeEvent* e)
{
    VisForm::resizeEvent(e);
    layoutControls();
}

// The picture fills the window above a band of 1100 twips holding the
// controls, placed from the picture's bottom edge; a resize starts the
// picture afresh.
void FrmVis4::layoutControls()
{
    const int graphHeight = std::max(1, height() - twips(kControlBand));
    for (PictureSurface* pic : {picGraph, picGraphBack}) pic->setGeometry(0, 0, width(), graphHeight);
    rain_->initVis();

    // Left to right: the scroll buttons with their captions, the mode list, the highlights.
    const int radio = twips(255), gap = 6;
    int x = gap;
    const int captionLeft = x + radio + 4;
    radScroll[0]->setGeometry(x, graphHeight + twips(50), radio, radio);
    lblStaticScroll->setGeometry(captionLeft, graphHeight + twips(50), lblStaticScroll->sizeHint().width(), radio);
    radScroll[1]->setGeometry(x, graphHeight + twips(300), radio, radio);
    lblDynamicScroll->setGeometry(captionLeft, graphHeight + twips(300), lblDynamicScroll->sizeHint().width(), radio);
    x = captionLeft + std::max(lblStaticScroll->width(), lblDynamicScroll->width()) + gap;

    cmbVisMode->setGeometry(x, graphHeight + twips(150), cmbVisMode->sizeHint().width(), cmbVisMode->sizeHint().height());
    x += cmbVisMode->width() + gap;

    lblHighlight->setGeometry(x, graphHeight + twips(30), lblHighlight->sizeHint().width(), 16);
    tglASCII->setGeometry(x, graphHeight + twips(280), tglASCII->sizeHint().width(), kButtonHeight);
    tglNOP->setGeometry(tglASCII->geometry().right() + 3, graphHeight + twips(280), tglNOP->sizeHint().width(),
                        kButtonHeight);
}
