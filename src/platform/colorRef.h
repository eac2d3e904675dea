#pragma once
#include <QColor>

#include "core/colorRef.h"

inline QColor toQColor(ColorRef c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
inline ColorRef fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }
