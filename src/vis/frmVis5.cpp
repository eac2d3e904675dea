#include "frmVis5.h"

namespace {
QPointer<FrmVis5> instance;
}

FrmVis5* frmVis5() { return formInstance(instance); }
