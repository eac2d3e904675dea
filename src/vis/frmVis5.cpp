#include "frmVis5.h"

#include <QCheckBox>
#include <QComboBox>

#include "platform/PictureSurface.h"
#include "platform/twips.h"
#include "vis/fieldViewControls.h"

namespace {
QPointer<FrmVis5> instance;

constexpr ColorRef kAxisBar = rgb(64, 64, 64);
const int kBarThickness = twips(375);
const int kListWidth = twips(1935);
}

FrmVis5* frmVis5() { return formInstance(instance); }

FrmVis5::FrmVis5() : VisForm(5)
{
    setBackground(this, rgb(0, 0, 0));
    // The bars first, so that the picture and the lists lie over them.
    shpVertAxis = makeShape(this, "shpVertAxis", kAxisBar);
    shpHorzAxis = makeShape(this, "shpHorzAxis", kAxisBar);

    picGraph = new PictureSurface(this);
    picGraph->setObjectName("picGraph");
    picGraph->setBackColor(rgb(0, 0, 0));
    plot_ = std::make_unique<ScatterPlot>(*picGraph);

    // Load: both lists hold the fields; packet length upwards against protocol across.
    for (int axis = 1; axis <= 2; ++axis) {
        QComboBox* list = makeAxisList(this, axis);
        comboAxis[size_t(axis - 1)] = list;
        // A new choice applies from the next packet on; what is drawn stays.
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, axis](int index) { plot_->axisField[size_t(axis - 1)] = index; });
        list->setCurrentIndex(axis - 1);
    }
    chkLabels = makeLabelsCheck(this);
    connect(chkLabels, &QCheckBox::toggled, this, [this](bool on) { plot_->labels = on; });
    comboAxis[0]->setToolTip("Field on the vertical axis");
    comboAxis[1]->setToolTip("Field on the horizontal axis");

    setMinimumSize(twips(2000), twips(3000));
    resize(twips(8100), twips(5325));
    layoutControls();
}

void FrmVis5::resizeEvent(QResizeEvent* e)
{
    VisForm::resizeEvent(e);
    layoutControls();
}

// The plot fills the window between the left bar and the band of the
// horizontal list; a resize erases it.
void FrmVis5::layoutControls()
{
    const int listHeight = comboAxis[0]->sizeHint().height();
    const int left = twips(375 - 8);
    const int top = listHeight + twips(30);
    // The picture ends at the window's right edge, so no point is drawn out of sight.
    picGraph->setGeometry(left, top, std::max(1, width() - left), std::max(1, height() - twips(1200)));
    picGraph->cls();

    const int listWidth = std::max(kListWidth, comboAxis[0]->sizeHint().width());   // the longest name whole
    comboAxis[0]->setGeometry(twips(30), 0, listWidth, listHeight);
    comboAxis[1]->setGeometry(picGraph->width() - listWidth - twips(150),
                              picGraph->y() + picGraph->height() + twips(100), listWidth, listHeight);
    chkLabels->move(kBarThickness + twips(60), comboAxis[1]->y());
    shpVertAxis->setGeometry(0, 0, kBarThickness, height());
    shpHorzAxis->setGeometry(0, height() - twips(750), width(), kBarThickness);
}
