// The one place where an error escaping a handler is caught and shown: timer
// ticks, hand-overs from the serial thread and the windows' handlers run
// through it, so no exception ever reaches Qt's event loop.
#pragma once

#include <functional>

// Runs a handler; an exception leaving it stops it and is shown in the default
// error box, and the program goes on. Returns false when the handler failed.
bool runGuarded(const std::function<void()>& handler);

// Shows the default error box for the exception being handled.
void ShowCurrentException();
