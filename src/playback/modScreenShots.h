#pragma once
// Screenshots of the shown views as BMP files in the program's folder, named
// with one "yyyymmdd_hhnnss" time stamp per call and the view's suffix.

// Screenshots of every shown view that has screenshot files. Files that cannot
// be written are named, with the reason, in one message; the rest are still written.
void saveScreenshots();

// The (empty) "Save Screen Shots" window.
void showScreenshotDialog();
