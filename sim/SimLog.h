// Diagnostics of the simulator on stderr: notes only with --verbose, warnings always.
#pragma once

#include <QByteArray>
#include <QString>

namespace SimLog {

void setVerbose(bool on);
void setName(const QString& name);

// A note about what the board did or ignored (shown only with --verbose).
void note(const QString& text);
// Something the user must know about (always shown).
void warning(const QString& text);

// Bytes as upper-case hexadecimal pairs separated by blanks: "23 32 0A".
QString hex(const QByteArray& bytes);

} // namespace SimLog
