// A firmware file checked whole before the board is touched: the board's
// application is erased only for a file that can be sent to its end with every
// word in its place.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace Hex {

// What a file that passed the check puts on the board.
struct HexSummary {
    qint64 first = 0; // address of the first data byte
    qint64 bytes = 0;
    int words = 0;
    int lines = 0;    // lines a run goes through, the end-of-file record included
    qint64 runMs = 0; // at the loader's pace
};

struct HexCheck {
    // The first fault, as "line 50: checksum 0x3C, computed 0x3B"; the summary
    // holds only when there is none.
    std::optional<QString> fault;
    HexSummary summary;
};

// Every record must be sound (start code, hexadecimal digits, a byte count that
// matches the data, the checksum, a known record type with the length its type
// needs); the data records must form one run of consecutive addresses in whole
// words from a word boundary, across extended address records too; the
// end-of-file record may be followed by blank lines only.
HexCheck SurveyHexFile(const QStringList& lines);

inline std::optional<QString> CheckHexFile(const QStringList& lines)
{
    return SurveyHexFile(lines).fault;
}

// The lines up to and including the end-of-file record of a file that passed
// the check: what a programming run sends.
QStringList LinesToSend(const QStringList& lines);

struct HexFile {
    QStringList lines;
    qint64 size = 0; // bytes
};

// Reads the file's lines; on failure says why in *why.
std::optional<HexFile> ReadHexFile(const QString& path, QString* why);

} // namespace Hex
