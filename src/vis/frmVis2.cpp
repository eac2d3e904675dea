#include "frmVis2.h"

namespace {
QPointer<FrmVis2> instance;
}

FrmVis2* frmVis2() { return formInstance(instance); }
