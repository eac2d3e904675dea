#include "frmLoadDataset.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <limits>

#include "acquire/modFileWindow.h"
#include "acquire/overviewStrip.h"
#include "core/frameWindow.h"
#include "core/modLibrary.h"

namespace {
QPointer<FrmLoadDataset> instance;

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
}

FrmLoadDataset* frmLoadDataset() { return formInstance(instance); }

FrmLoadDataset::FrmLoadDataset() : FormWindow("frmLoadDataset", "Load Dataset")
{
    lblFile = label(this, "lblFile", "File:");
    lblFileVariable = label(this, "lblFileVariable", "Insert Status Here");
    lblFileVariable->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1 = label(this, "Label1", "File Size:");
    lblFileSizeVariable = label(this, "lblFileSizeVariable", "Insert Status Here");
    lblFileLoad = label(this, "lblFileLoad", "File Load Status:");
    lblFileLoadStatusVariable = label(this, "lblFileLoadStatusVariable", "Insert Status Here");
    lblProcessingPackets = label(this, "lblProcessingPackets", "Packet Processing Progress");
    pbProcessing = new QProgressBar(this);
    pbProcessing->setObjectName("pbProcessing");
    pbProcessing->setRange(0, 100);
    pbProcessing->setValue(0);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFile, 0, 0);
    grid->addWidget(lblFileVariable, 0, 1);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(lblFileSizeVariable, 1, 1);
    grid->addWidget(lblFileLoad, 2, 0);
    grid->addWidget(lblFileLoadStatusVariable, 2, 1);
    grid->addWidget(lblProcessingPackets, 3, 0, 1, 2);
    grid->addWidget(pbProcessing, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    fraWindow = new QWidget(this);
    fraWindow->setObjectName("fraWindow");
    picOverview = new OverviewStrip(fraWindow);
    picOverview->setObjectName("picOverview");
    lblWindowFirst = label(fraWindow, "lblWindowFirst", "&First frame:");
    txtWindowFirst = new QLineEdit(fraWindow);
    txtWindowFirst->setObjectName("txtWindowFirst");
    txtWindowFirst->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{1,15}"), txtWindowFirst));
    lblWindowFirst->setBuddy(txtWindowFirst);
    lblWindowRange = label(fraWindow, "lblWindowRange", "");
    btnLoadWindow = new QPushButton("&Load Window", fraWindow);
    btnLoadWindow->setObjectName("btnLoadWindow");
    btnLoadWindow->setToolTip("Load the frames of the window into the player");
    auto* chooser = new QGridLayout(fraWindow);
    chooser->setContentsMargins(0, 8, 0, 0);
    chooser->addWidget(picOverview, 0, 0, 1, 4);
    chooser->addWidget(lblWindowFirst, 1, 0);
    chooser->addWidget(txtWindowFirst, 1, 1);
    chooser->addWidget(lblWindowRange, 1, 2);
    chooser->addWidget(btnLoadWindow, 1, 3);
    chooser->setColumnStretch(2, 1);
    grid->addWidget(fraWindow, 5, 0, 1, 2);
    fraWindow->hide();

    connect(picOverview, &OverviewStrip::windowMoved, this, [this](int64_t first) {
        chooseFirst(first);
        txtWindowFirst->setText(QString::number(first_));
    });
    connect(txtWindowFirst, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.isEmpty()) chooseFirst(text.toLongLong());
    });
    const auto load = [this] {
        txtWindowFirst->setText(QString::number(first_));   // where a typed number past the end took it
        loadFileWindow(first_);
    };
    connect(txtWindowFirst, &QLineEdit::returnPressed, this, load);
    connect(btnLoadWindow, &QPushButton::clicked, this, load);
    resize(480, 170);
}

void FrmLoadDataset::showWindowChooser(const FrameOverview& overview, int64_t frames, int64_t first,
                                       const FrameOverview* byTime, int64_t farTimes)
{
    frames_ = frames;
    picOverview->setOverview(overview, frames, byTime, farTimes);
    chooseFirst(first);
    txtWindowFirst->setText(QString::number(first_));
    fraWindow->show();
    resize(width(), sizeHint().height());
    txtWindowFirst->setFocus();
    txtWindowFirst->selectAll();
}

void FrmLoadDataset::hideWindowChooser()
{
    fraWindow->hide();
    resize(width(), 170);
}

void FrmLoadDataset::chooseFirst(int64_t first)
{
    const FrameWindow window = windowAt(first, frames_, kSlotCount);
    first_ = window.first;
    picOverview->setWindow(window.first, window.size());
    lblWindowRange->setText(QString::fromStdString(describeWindow(window, frames_)));
}

void FrmLoadDataset::setProgressRange(int64_t fileLength)
{
    shift_ = 0;
    while ((fileLength >> shift_) > std::numeric_limits<int>::max()) ++shift_;
    pbProcessing->setRange(0, int(fileLength >> shift_));
    pbProcessing->setValue(0);
}

void FrmLoadDataset::setProgressPosition(int64_t position) { pbProcessing->setValue(int(position >> shift_)); }
