// Opening a serial device for sole use, shared by the component and the port
// enumeration so that "listed" always means "the component could open it now".
#pragma once

#include <QString>

// Opens a terminal device for reading and writing, never as the controlling
// terminal and never waiting for carrier, and holds it exclusively. Returns the
// descriptor, or -1 with the reason (an errno value) in error.
int openExclusive(const QString& path, int& error);

// Gives up the exclusive hold and closes the descriptor.
void closeExclusive(int fd);

// The system's text for an errno value, as the open-failure message shows it.
QString systemErrorText(int error);
