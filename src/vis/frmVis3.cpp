#include "frmVis3.h"

#include <QCheckBox>
#include <QComboBox>
#include <algorithm>
#include <array>
#include <vector>
#include <QLabel>

#include "core/rounding.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "platform/twips.h"
#include "vis/fieldViewControls.h"

namespace {
QPointer<FrmVis3> instance;

const int kListWidth = twips(1215);
const int kBoxSide = twips(375);   // the number label and the spin button
}

FrmVis3* frmVis3() { return formInstance(instance); }

FrmVis3::FrmVis3() : VisForm(3)
{
    setBackground(this, rgb(64, 64, 64));
    picGraph = new PictureSurface(this);
    picGraph->setObjectName("picGraph");
    picGraph->setBackColor(rgb(0, 0, 0));
    plot_ = std::make_unique<ParallelPlot>(*picGraph);

    // Load: axis i starts on field i - 1, so two axes show packet length against protocol.
    for (int i = 1; i <= ParallelPlot::kMaxAxes; ++i) {
        QComboBox* list = makeAxisList(this, i);
        comboAxis[size_t(i - 1)] = list;
        list->setToolTip(QString("Field on axis %1").arg(i));
        // A new choice applies from the next packet on; what is drawn stays.
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, i](int index) { plot_->axisField[size_t(i - 1)] = index; });
        list->setCurrentIndex(i - 1);
    }

    lblNumAxesCaption = new QLabel("Number of Axes", this);
    lblNumAxesCaption->setObjectName("lblNumAxesCaption");
    lblNumAxesCaption->setStyleSheet("color: white");
    lblNumAxes = new QLabel("2", this);
    lblNumAxes->setObjectName("lblNumAxes");
    lblNumAxes->setAlignment(Qt::AlignCenter);
    setBackground(lblNumAxes, rgb(192, 192, 192));
    spnNumAxes = new SpinButton(ParallelPlot::kMinAxes, ParallelPlot::kMaxAxes, 2, this);
    spnNumAxes->setObjectName("spnNumAxes");
    spnNumAxes->setToolTip("Number of axes (2 to 17)");
    connect(spnNumAxes, &SpinButton::valueChanged, this, [this](int v) {
        lblNumAxes->setText(QString::number(v));
        layoutControls();
    });

    chkLabels = makeLabelsCheck(this);
    connect(chkLabels, &QCheckBox::toggled, this, [this](bool on) { plot_->labels = on; });

    setMinimumSize(twips(2000), twips(3000));
    resize(twips(5700), twips(6045));
    layoutControls();
}

void FrmVis3::resizeEvent(QResizeEvent* e)
{
    VisForm::resizeEvent(e);
    layoutControls();
}

void FrmVis3::layoutControls()
{
    // Every list wide enough for its longest field name, centred under its
    // axis (the first flush left, the last flush right). A list that would
    // cover the one before it in a row goes on the next row that has room.
    const int n = std::clamp(spnNumAxes->value(), ParallelPlot::kMinAxes, ParallelPlot::kMaxAxes);
    const int listWidth = std::max(kListWidth, comboAxis[0]->sizeHint().width());
    const int listHeight = comboAxis[0]->sizeHint().height();
    const int right = std::max(0, width() - listWidth - twips(100));
    std::array<int, ParallelPlot::kMaxAxes> left{}, row{};
    std::vector<int> rowEnds;   // where each row's last list ends
    for (int i = 1; i <= n; ++i) {
        const int centred = roundHalfEven(double(i - 1) / (n - 1) * width()) - listWidth / 2;
        const int x = i == 1 ? 0 : i == n ? right : std::clamp(centred, 0, right);
        int r = 0;
        while (r < int(rowEnds.size()) && rowEnds[size_t(r)] + 4 > x) ++r;
        if (r == int(rowEnds.size())) rowEnds.push_back(0);
        rowEnds[size_t(r)] = x + listWidth;
        left[size_t(i - 1)] = x;
        row[size_t(i - 1)] = r;
    }
    const int rows = int(rowEnds.size());
    picGraph->setGeometry(0, 0, width(), std::max(1, height() - twips(1300) - (rows - 1) * listHeight));
    for (QComboBox* list : comboAxis) list->hide();
    plot_->layoutAxes(n);

    const int listTop = picGraph->height() + twips(50);
    for (int i = 1; i <= n; ++i) {
        comboAxis[size_t(i - 1)]->setGeometry(left[size_t(i - 1)], listTop + row[size_t(i - 1)] * listHeight,
                                              listWidth, listHeight);
        comboAxis[size_t(i - 1)]->show();
    }

    // The number-of-axes row under the first list, the caption centred on the
    // number; the number and the arrows move right only when the caption's
    // font needs more room than the list's width.
    const int rowTop = listTop + rows * listHeight + twips(150);
    const QSize caption = lblNumAxesCaption->sizeHint();
    const int numberLeft = std::max(twips(1200), caption.width() + 2);
    lblNumAxesCaption->setGeometry(0, rowTop + kBoxSide / 2 - caption.height() / 2, numberLeft, caption.height());
    lblNumAxes->setGeometry(numberLeft, rowTop, kBoxSide, kBoxSide);
    spnNumAxes->setGeometry(numberLeft + twips(1560 - 1200), rowTop, kBoxSide, kBoxSide);
    chkLabels->move(spnNumAxes->geometry().right() + twips(300), rowTop + kBoxSide / 2 - chkLabels->height() / 2);
}
