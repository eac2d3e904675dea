#pragma once
// "Save Da&taset": writes the held packets, oldest first, as a nivora dataset
// or, for a name ending in .pcap or .pcapng, as a capture. True once saved.
bool saveDataset();

// Whether the held packets exist in no file: captured live, or a file's
// packets added behind others, or comments edited, and not saved since.
bool heldPacketsUnsaved();
void setHeldPacketsUnsaved(bool unsaved);

// Before the program ends: with unsaved packets held, asks Save, Discard or
// Cancel. True when the program may end (saved, discarded, or nothing to lose).
bool mayQuit();
