// The simulator's command line.
#pragma once

#include "sim/WireSettings.h"

#include <QString>
#include <QStringList>
#include <optional>

struct SimOptions {
    QString dir;       // ports folder where the link is published
    QString name;      // name of the link (and of the control socket, with ".ctl")
    QString statePath; // parameter memory file; empty: memory only
    int rate = 0;      // telemetry frames per second
    int idleMs = 0;    // silence that ends a sample stream
    bool verbose = false;
    bool strict = false; // frames that come while the board is busy are dropped
    Pieces pieces;       // how the output is cut; off unless set
    int bundle = 0;      // messages joined in one write; 0: none

    QString portPath() const;
    QString controlPath() const;
};

// Parses arguments (program name first). "--help" prints the usage and exits.
// Returns nothing and sets error on a bad value.
std::optional<SimOptions> parseSimOptions(const QStringList& arguments, QString* error);
