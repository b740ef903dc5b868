#pragma once
// SIGTERM and SIGINT (a logout, a kill, Ctrl+C in a terminal) taken as the
// window manager's close request: the handler only wakes a thread, which hands
// the request to the UI thread, where the program closes through its usual
// close path.

#include <functional>

namespace platform {

// Installs the handlers once per process; later calls only replace close.
// close runs on the UI thread, once per signal received.
void RouteCloseSignals(std::function<void()> close);

}  // namespace platform
