#pragma once
// The nested message loop a presentation waits in: one short turn of the
// event loop at a time, so windows paint, timers tick and the popup takes
// its clicks while the caller tests its own end condition between turns.
namespace zrv {

// Runs the event loop for one turn (at most turnMs); false when no event
// loop runs (the program is ending or has not started one).
bool PumpEventsOnce(int turnMs = 30);

}  // namespace zrv
