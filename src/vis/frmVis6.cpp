#include "frmVis6.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "core/rounding.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "platform/twips.h"
#include "vis/fieldViewControls.h"

namespace {
QPointer<FrmVis6> instance;

constexpr ColorRef kAxisLine = rgb(128, 128, 128);
const int kListWidth = twips(1500);
const int kBoxSide = twips(375);   // the number label and the spin button
constexpr int kSourceIP = 2;       // the lists' choices after every resize
constexpr int kTcpDestPort = 9;

PictureSurface* makePicture(QWidget* parent, const char* name)
{
    auto* pic = new PictureSurface(parent);
    pic->setObjectName(name);
    pic->setBackColor(rgb(0, 0, 0));
    return pic;
}
}

FrmVis6* frmVis6() { return formInstance(instance); }

FrmVis6::FrmVis6() : VisForm(6)
{
    setBackground(this, rgb(64, 64, 64));
    picGraph = makePicture(this, "picGraph");
    picgraphLeftBack = makePicture(this, "picgraphLeftBack");
    picgraphLeftBack->hide();
    picgraphRightBack = makePicture(this, "picgraphRightBack");
    picgraphRightBack->hide();
    picgraphLeftFront = makePicture(this, "picgraphLeftFront");
    picgraphRightFront = makePicture(this, "picgraphRightFront");
    lineLeftAxis = makeShape(picgraphLeftFront, "lineLeftAxis", kAxisLine);
    linerightAxis = makeShape(picgraphRightFront, "linerightAxis", kAxisLine);
    view_ = std::make_unique<CombinedView>(
        CombinedPictures{*picGraph, *picgraphLeftFront, *picgraphLeftBack, *picgraphRightFront, *picgraphRightBack});

    for (int axis = 1; axis <= 2; ++axis) {
        QComboBox* list = makeAxisList(this, axis);
        comboAxis[size_t(axis - 1)] = list;
        // A new choice applies from the next packet on, until the next resize.
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, axis](int index) { view_->axisField[size_t(axis - 1)] = index; });
    }
    comboAxis[0]->setToolTip("Field of the left axis and history");
    comboAxis[1]->setToolTip("Field of the right axis and history");

    lblBucketsCaption = new QLabel("packets per quantum", this);
    lblBucketsCaption->setObjectName("lblBucketsCaption");
    lblBucketsCaption->setStyleSheet("color: white; font-weight: bold");
    lblBuckets = new QLabel("1", this);
    lblBuckets->setObjectName("lblBuckets");
    lblBuckets->setAlignment(Qt::AlignCenter);
    setBackground(lblBuckets, rgb(192, 192, 192));
    spnBuckets = new SpinButton(1, 99, 1, this);
    spnBuckets->setObjectName("spnBuckets");
    spnBuckets->setToolTip("Packets per quantum (1 to 99): the histories move once per quantum");
    // The new quantum size applies from the next packet on.
    connect(spnBuckets, &SpinButton::valueChanged, this, [this](int v) {
        lblBuckets->setText(QString::number(v));
        view_->packetsPerQuantum = v;
    });

    chkLabels = makeLabelsCheck(this);
    connect(chkLabels, &QCheckBox::toggled, this, [this](bool on) { view_->labels = on; });

    setMinimumSize(twips(2000), twips(3000));
    resize(twips(7125), twips(6765));
    layoutControls();
}

void FrmVis6::resizeEvent(QResizeEvent* e)
{
    VisForm::resizeEvent(e);
    layoutControls();
}

void FrmVis6::layoutControls()
{
    // The central plot, a fifth of the width, between two histories of equal width.
    const int w = width();
    const int graphHeight = std::max(1, height() - twips(1400));
    const int graphWidth = std::max(1, roundHalfEven(w * 0.2));
    const int graphLeft = roundHalfEven(w / 2.0 - graphWidth / 2.0);
    picGraph->setGeometry(graphLeft, 0, graphWidth, graphHeight);
    const int sideWidth = std::max(1, graphLeft);
    for (PictureSurface* pic : {picgraphLeftFront, picgraphLeftBack})
        pic->setGeometry(0, 0, sideWidth, graphHeight);
    for (PictureSurface* pic : {picgraphRightFront, picgraphRightBack})
        pic->setGeometry(graphLeft + graphWidth, 0, sideWidth, graphHeight);
    view_->clear();
    lineLeftAxis->setGeometry(sideWidth - 1, 0, 1, graphHeight);
    linerightAxis->setGeometry(0, 0, 1, graphHeight);

    // Each list centred under its axis, back on its first choice.
    const int listHeight = comboAxis[0]->sizeHint().height();
    const int listTop = graphHeight + twips(50);
    // Wide enough for the longest name; moved apart when, centred, they would overlap.
    const int listWidth = std::max(kListWidth, comboAxis[0]->sizeHint().width());
    const int middle = graphLeft + graphWidth / 2;
    comboAxis[0]->setGeometry(std::min(graphLeft - listWidth / 2, middle - listWidth - 2), listTop, listWidth, listHeight);
    comboAxis[1]->setGeometry(std::max(graphLeft + graphWidth - listWidth / 2, middle + 2), listTop, listWidth, listHeight);
    comboAxis[0]->setCurrentIndex(kSourceIP);
    comboAxis[1]->setCurrentIndex(kTcpDestPort);

    // The quantum row, centred under the lists; the caption centred on the number.
    const QSize caption = lblBucketsCaption->sizeHint();
    const int rowTop = listHeight + graphHeight + twips(200);
    const int rowLeft = w / 2 - (caption.width() + 2 * kBoxSide) / 2;
    lblBucketsCaption->setGeometry(rowLeft, rowTop + kBoxSide / 2 - caption.height() / 2, caption.width(),
                                   caption.height());
    lblBuckets->setGeometry(rowLeft + caption.width(), rowTop, kBoxSide, kBoxSide);
    spnBuckets->setGeometry(rowLeft + caption.width() + kBoxSide, rowTop, kBoxSide, kBoxSide);
    chkLabels->move(spnBuckets->geometry().right() + twips(300), rowTop + kBoxSide / 2 - chkLabels->height() / 2);
}
