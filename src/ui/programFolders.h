#pragma once
// Where the program finds what it ships with.
#include <QString>

// The folder holding the sample dataset: the program's own folder in a build,
// share/nivora beside an installed program's bin folder; the program's folder
// when neither holds it.
QString sampleFolder();
