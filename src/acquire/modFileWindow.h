#pragma once
// Files of more frames than the store holds: indexed when opened, offered in
// the "Load Dataset" window as an overview with the store's window on it,
// and loaded one window at a time; File > Next Window and Previous Window
// move the window along the file, File > Next Match and Previous Match along
// the matches of a find, the chooser staying up with the window on its strip.
#include <QString>
#include <cstdint>

// Indexes the file. One of more than 30000 frames is held and its window
// chooser shown, and true is returned; so is a smaller one that mixes in
// frames of other link types, loaded whole through its index. For any other
// file nothing is held and false tells the caller to load it whole.
bool offerFileWindows(const QString& path);

// Loads the window of the held file that begins at `first`.
void loadFileWindow(int64_t first);

// Loads the window of the held file that begins at the first frame captured
// at or after the time in `text` (local, as the player shows it, or @ and
// seconds since 1970); tells the user why not when there is none. A bare
// number, past the file's last frame, is taken as seconds since 1970 when the
// file was captured then (from its first frame's second to its last frame);
// else the user is told there is no such frame and how to type a time.
void loadFileWindowAtTime(const QString& text);

// Runs the filter expression `text` over the whole held file in the "Load
// Dataset" window, with progress and Stop, letting events run; the result is
// kept with the file and marked on the strip.
void findInHeldFile(const QString& text);
void stopFindInFile();

// File > Next Match / Previous Match: the window that begins at the next
// (+1) or previous (-1) match outside the one the store holds, the file
// searched again first when it changed since, a stopped find gone on with
// from where it stopped, and one never run run first for the expression in
// the chooser (the user told when there is none).
bool canLoadMatchWindow(int direction);
void loadMatchWindow(int direction);

// The window after (+1) or before (-1) the one the store holds, if there is one.
bool canLoadNeighbourWindow(int direction);
void loadNeighbourWindow(int direction);
