#pragma once
// Screenshots of the shown views as BMP files in the program's folder, named
// with one "yyyymmdd_hhnnss" time stamp per call and the view's suffix. Where
// the program's folder refuses files (an installed program, a read-only
// folder) they go to the user's pictures folder instead.
#include <QString>

// Screenshots of every shown view that has screenshot files. Files that cannot
// be written are named, with the reason, in one message; the rest are still
// written. Returns one line for the user: how many files went where, or why
// there were none.
QString saveScreenshots();

// The folder files of the player go to: the program's folder, or the user's
// pictures folder when that takes no files (`elsewhere` then says so).
QString folderTakingFiles(bool& elsewhere);

// The (empty) "Save Screen Shots" window.
void showScreenshotDialog();
