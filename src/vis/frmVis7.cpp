#include "frmVis7.h"

namespace {
QPointer<FrmVis7> instance;
}

FrmVis7* frmVis7() { return formInstance(instance); }
