#include "frmVis6.h"

namespace {
QPointer<FrmVis6> instance;
}

FrmVis6* frmVis6() { return formInstance(instance); }
