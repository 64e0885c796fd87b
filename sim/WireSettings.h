// How the board's output is cut and joined on its way to the tool
// (sim/WireShape.h), as the command line and the control channel set it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct Pieces {
    int size = 0;  // the most bytes one write carries; 0: every write goes whole
    int gapMs = 0; // pause between two pieces; 0: back to back
    bool on() const { return size > 0; }
};

// The size and, when given, the gap, as the user wrote them; nothing unless
// there are one or two words, each a whole number in range.
std::optional<Pieces> parsePieces(const QStringList& words);
// Messages joined in one write; nothing when not a whole number in range.
std::optional<int> parseBundle(const QString& count);

// What the two take, for the error messages of both front ends.
QString piecesRange();
QString bundleRange();
