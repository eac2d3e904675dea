#pragma once
// Long work (loading a file, drawing a range) lets pending window events run
// at its yield points. A yield point runs the event loop only when a few
// milliseconds have passed since one last did, so the program stays just as
// responsive without paying for an event-loop pass at every byte.
void yieldPoint();

// Runs pending events now, whatever the time (after showing a window, say).
void yieldNow();
