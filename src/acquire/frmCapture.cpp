#include "frmCapture.h"

namespace {
QPointer<FrmCapture> instance;
}

FrmCapture* frmCapture() { return formInstance(instance); }

FrmCapture::FrmCapture() : FormWindow("frmCapture", "Capture", "ToolCapture") { resize(320, 120); }
