#include "frmLogging.h"

#include <QPushButton>

#include "app/frmMain.h"
#include "ui/windowHelpers.h"

namespace {
QPointer<FrmLogging> instance;
}

FrmLogging* frmLogging() { return formInstance(instance); }

FrmLogging::FrmLogging() : FormWindow("frmLogging", "Logging", "ToolLogging")
{
    setFixedSize(200, 80);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("btnLoggingOK");
    ok->setGeometry(60, 24, 80, 28);
    connect(ok, &QPushButton::clicked, this, [this] { toggleWindow(this, frmMain()->menuItem("ToolLogging")); });
}
