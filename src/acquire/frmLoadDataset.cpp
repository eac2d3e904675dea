#include "frmLoadDataset.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <limits>

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
    resize(480, 170);
}

void FrmLoadDataset::setProgressRange(int64_t fileLength)
{
    shift_ = 0;
    while ((fileLength >> shift_) > std::numeric_limits<int>::max()) ++shift_;
    pbProcessing->setRange(0, int(fileLength >> shift_));
    pbProcessing->setValue(0);
}

void FrmLoadDataset::setProgressPosition(int64_t position) { pbProcessing->setValue(int(position >> shift_)); }
