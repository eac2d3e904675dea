#include "frmFilters.h"

#include <QLabel>
#include <QScrollBar>

#include "core/modLibrary.h"

namespace {
QPointer<FrmFilters> instance;
}

FrmFilters* frmFilters() { return formInstance(instance); }

FrmFilters::FrmFilters() : FormWindow("frmFilters", "nivora: PVR", "ToolFilters")
{
    resize(560, 200);
    lblPacketCounter = new QLabel(this);
    lblPacketCounter->setObjectName("lblPacketCounter");
    lblPacketMin = new QLabel(this);
    lblPacketMin->setObjectName("lblPacketMin");
    lblPacketMax = new QLabel("Max", this);
    lblPacketMax->setObjectName("lblPacketMax");
    scrPacket = new QScrollBar(Qt::Horizontal, this);
    scrPacket->setObjectName("scrPacket");
    scrPacket->setRange(1, 0);
    lblPacketMin->setGeometry(8, 40, 80, 20);
    scrPacket->setGeometry(90, 40, 380, 20);
    lblPacketMax->setGeometry(476, 40, 80, 20);
    lblPacketCounter->setGeometry(90, 64, 120, 20);
}

void FrmFilters::showPacketCounter(int32_t count) { lblPacketCounter->setText(QString::number(count)); }

void FrmFilters::showPacketRange(int32_t count, int32_t first)
{
    lblPacketCounter->setText(QString::number(count));
    lblPacketMax->setText(QString::number(count));
    scrPacketTag = "locked";
    scrPacket->setMaximum(count);
    scrPacket->setMinimum(first);
    lblPacketMin->setText(QString::number(first));
    scrPacketTag = "";
}

void FrmFilters::initFilters() {}
