#include "HexImage.h"

namespace {
constexpr int SEGMENT = 0x10000;
constexpr int DATA_RECORD = 0;
constexpr int EXTENDED_LINEAR_ADDRESS = 4;
} // namespace

QByteArray HexRecord(int address, int type, const QByteArray& data)
{
    QByteArray bytes;
    bytes.append(char(data.size())).append(char((address >> 8) & 0xFF)).append(char(address & 0xFF));
    bytes.append(char(type)).append(data);
    int sum = 0;
    for (const char b : bytes)
        sum += quint8(b);
    bytes.append(char(-sum & 0xFF));
    return ":" + bytes.toHex().toUpper() + "\n";
}

HexImage MakeHexImage(int bytes, int perRecord)
{
    HexImage image;
    quint32 seed = 0x2545F491;
    for (int at = 0; at < bytes; at += perRecord) {
        if (at % SEGMENT == 0 && at > 0) {
            const int upper = at / SEGMENT;
            image.text +=
                HexRecord(0, EXTENDED_LINEAR_ADDRESS, QByteArray{char(upper >> 8), char(upper & 0xFF)});
            ++image.lines;
        }
        QByteArray data;
        for (int i = 0; i < perRecord && at + i < bytes; ++i) {
            seed = seed * 1103515245u + 12345u;
            data.append(char(seed >> 16));
        }
        image.text += HexRecord(at % SEGMENT, DATA_RECORD, data);
        image.data += data;
        ++image.lines;
    }
    image.text += ":00000001FF\n";
    ++image.lines;
    return image;
}

QByteArray LoaderWordBytes(const QByteArray& data)
{
    QByteArray swapped;
    for (int i = 0; i + 1 < data.size(); i += 2)
        swapped.append(data[i + 1]).append(data[i]);
    return swapped;
}
