// Intel HEX text written the way a compiler's HEX writer does, for tests and
// benchmarks that need firmware files of a given size.
#pragma once

#include <QByteArray>

// One record with its checksum and a line feed.
QByteArray HexRecord(int address, int type, const QByteArray& data);

struct HexImage {
    QByteArray text; // the whole file, ending with the end-of-file record
    QByteArray data; // the data bytes in file order
    int lines = 0;
};

// `bytes` of varied data in records of `perRecord` bytes, with an extended
// linear address record at each 64 KiB boundary.
HexImage MakeHexImage(int bytes, int perRecord);

// What the loader stores for these data bytes: each pair of file bytes swapped
// (the first is the word's high byte, and words go out low byte first).
QByteArray LoaderWordBytes(const QByteArray& data);
