// One line of an Intel HEX file as the loader takes it: the 16-bit words of a
// data record, in file order. Addresses are not sent, so a file with gaps or
// extended addresses goes out as one contiguous word stream.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace Hex {

struct DecodedLine {
    // False when the line does not begin with the start code (an empty line neither).
    bool intelHex = true;
    // Load address of the first word (not sent).
    std::uint16_t address = 0;
    // The first data byte of each pair is the high byte; an odd last byte is dropped.
    QList<std::uint16_t> words;
    // Set when a field held something other than hexadecimal digits or was cut
    // short: the words before that field are valid, the rest of the line is not.
    QString conversionError;
};

// Records other than data records, and data records of fewer than two bytes,
// give no words. The checksum is not looked at here (CheckHexFile does).
DecodedLine DecodeHexRecord(QStringView line);

// The value of count hexadecimal digits from position from; false when the
// line is too short or holds another character there.
bool HexField(QStringView line, int from, int count, int& value);

} // namespace Hex
