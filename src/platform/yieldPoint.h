#pragma once
// Long work (loading a file, drawing a range) lets pending window events run
// at its yield points. A yield point runs the event loop only when a few
// milliseconds have passed since one last did, so the program stays just as
// responsive without paying for an event-loop pass at every byte.
class QObject;

void yieldPoint();

// Runs pending events now, whatever the time (after showing a window, say).
void yieldNow();

// Deletes a closed window once no long work is under way. A window closed
// while work lets events run may have its own handler on the stack beneath
// the work (the button whose click started it): Qt would delete it at the
// work's next yield point, under that handler's feet. It waits instead until
// the work has ended and the event loop runs again.
void deleteWhenWorkEnds(QObject* object);
