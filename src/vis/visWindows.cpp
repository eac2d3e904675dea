#include "visWindows.h"

#include <array>

#include "vis/frmVis1.h"
#include "vis/frmVis2.h"
#include "vis/frmVis3.h"
#include "vis/frmVis4.h"
#include "vis/frmVis5.h"
#include "vis/frmVis6.h"
#include "vis/frmVis7.h"

namespace {
std::array<VisWindow*, kVisWindowCount> overrides{};
}

FormWindow* visForm(int k)
{
    switch (k) {
    case 1: return frmVis1();
    case 2: return frmVis2();
    case 3: return frmVis3();
    case 4: return frmVis4();
    case 5: return frmVis5();
    case 6: return frmVis6();
    default: return frmVis7();
    }
}

VisWindow* visWindow(int k)
{
    if (VisWindow* o = overrides[size_t(k - 1)]) return o;
    return dynamic_cast<VisWindow*>(visForm(k));
}

void overrideVisWindow(int k, VisWindow* view) { overrides[size_t(k - 1)] = view; }
