// The window that shows the progress of the work a panel starts, offers its
// "OK" and Cancel, and closes when the work ends. It is made after the panels,
// from the board they share, so a panel finds it when the work starts.
#pragma once

#include <functional>

class WaitDialog;

using ProgressView = std::function<WaitDialog&()>;
