// The two-line settings file that remembers the port: its name, then the index
// of the port list's selection. Lines end in CR LF.
#pragma once

#include <QString>
#include <optional>

struct SavedPort {
    QString port;
    QString indexText; // converted by the caller, so a bad number raises there
};

// Nothing when the file does not exist or cannot be read.
std::optional<SavedPort> ReadSettingsFile(const QString& path);
// Rewrites an existing file; false when it cannot be written.
bool WriteSettingsFile(const QString& path, const QString& port, int index);
