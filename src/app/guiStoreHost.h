#pragma once
class StoreHost;
// The store's window to the GUI: the playback window's counter, range and
// scroll bar, the overwrite question and clearing the views.
StoreHost& guiStoreHost();
