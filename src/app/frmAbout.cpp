#include "frmAbout.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
QPointer<FrmAbout> instance;
}

FrmAbout* frmAbout() { return formInstance(instance); }

FrmAbout::FrmAbout() : FormWindow("frmAbout", "about nivora")
{
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel("nivora network visualization", this);
    name->setObjectName("Label1");
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel("version 1.36", this);
    version->setObjectName("Label7");
    version->setFont(QFont("Verdana"));
    layout->addWidget(name);
    layout->addWidget(version);
    setFixedSize(sizeHint().expandedTo(QSize(300, 100)));
}
