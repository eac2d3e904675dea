#include "frmVis4.h"

namespace {
QPointer<FrmVis4> instance;
}

FrmVis4* frmVis4() { return formInstance(instance); }
