// A firmware file checked whole before the board is touched: the board's
// application is erased only for a file that can be sent to its end.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace Hex {

// The first fault of the file's lines, as "line 50: checksum 0x3C, computed
// 0x3B"; nothing when every record is sound (start code, hexadecimal digits, a
// byte count that matches the data, the checksum, a known record type) and the
// end-of-file record is followed by blank lines only.
std::optional<QString> CheckHexFile(const QStringList& lines);

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
