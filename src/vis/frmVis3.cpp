#include "frmVis3.h"

namespace {
QPointer<FrmVis3> instance;
}

FrmVis3* frmVis3() { return formInstance(instance); }
