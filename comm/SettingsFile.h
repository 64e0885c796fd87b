// The two-line settings file that remembers the port: its name, then the index
// of the port list's selection. Lines end in CR LF.
#pragma once

#include <QString>

struct SavedPort {
    QString port;
    QString indexText;         // converted by SavedIndex, so a bad number raises there
    bool indexTooLong = false; // line 2 is longer than any setting can be
};

struct SettingsRead {
    enum class Status { Read, Missing, Unreadable };
    Status status = Status::Missing;
    QString reason; // the system's reason, when Unreadable
    SavedPort saved;
};

// Reads the two lines. A line longer than SETTINGS_LINE_MAX bytes is invalid:
// only its beginning is kept and the rest is skipped a piece at a time, so a
// damaged file costs neither time nor memory.
SettingsRead ReadSettingsFile(const QString& path);

// The saved list index; raises the framework's conversion error when line 2 is
// not a whole number.
int SavedIndex(const SavedPort& saved);

// Rewrites the file; the system's reason when it cannot be written (the old
// file then stays), empty when it was. A file that is writable in a folder that
// is not is rewritten in place.
QString WriteSettingsFile(const QString& path, const QString& port, int index);
