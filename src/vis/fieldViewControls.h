#pragma once
// Controls the three field views build alike: the axis lists of catalogue
// fields, plain coloured shapes, and their dark backgrounds.
#include "core/colorRef.h"

class QComboBox;
class QWidget;

// Element `index` of the control array comboAxis: a drop-down list of the
// 18 catalogue field names in catalogue order, nothing selected yet.
QComboBox* makeAxisList(QWidget* parent, int index);

// The "labels" check box (chkLabels), ticked: whether the marks are drawn
// with their values' text. Light text for the dark window.
class QCheckBox;
QCheckBox* makeLabelsCheck(QWidget* parent);

// A filled rectangle or a line one pixel wide: a plain widget of one colour,
// over its parent's drawing but never part of a picture's image.
QWidget* makeShape(QWidget* parent, const char* name, ColorRef colour);

// The window's (or control's) background colour.
void setBackground(QWidget* widget, ColorRef colour);
