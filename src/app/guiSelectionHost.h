#pragma once
class SelectionHost;
// What choosing a packet in a view does beyond the views: the detail view
// shows it, the player's position moves to it, and Up and Down walk the
// drawn sequence.
SelectionHost& guiSelectionHost();
