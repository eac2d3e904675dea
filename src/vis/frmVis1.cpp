#include "frmVis1.h"

namespace {
QPointer<FrmVis1> instance;
}

FrmVis1* frmVis1() { return formInstance(instance); }
