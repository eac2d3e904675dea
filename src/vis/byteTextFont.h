#pragma once
// The font the byte views write in: "Courier New" 8.25 pt (a metric-compatible
// monospace where it is missing). Full hinting puts every character on a
// whole-pixel cell, so w characters fill exactly w cells; the text needs no
// shaping, and skipping it makes long lines much cheaper to lay out.
#include <QFont>

inline QFont byteTextFont()
{
    QFont f("Courier New");
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(8.25);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}
