#include "sound/WavInfo.h"

#include "common/Define.h"

namespace Sound {

namespace {
int byteAt(const QByteArray& bytes, int offset)
{
    return static_cast<unsigned char>(bytes[offset]);
}
} // namespace

std::optional<WavHeaderInfo> ReadWavInfo(const QByteArray& head)
{
    if (head.size() <= Define::WAV_BITS_OFFSET)
        return std::nullopt;
    constexpr int BYTE_BITS = 8;
    return WavHeaderInfo{byteAt(head, Define::WAV_FORMAT_OFFSET), byteAt(head, Define::WAV_CHANNELS_OFFSET),
                         byteAt(head, Define::WAV_RATE_OFFSET + 1) << BYTE_BITS |
                             byteAt(head, Define::WAV_RATE_OFFSET),
                         byteAt(head, Define::WAV_BITS_OFFSET)};
}

SizeFlags SizeFlagsFor(qint64 fileSize)
{
    return {fileSize < Define::MAX_FILE_SIZE, fileSize < Define::MAX_FILE_HUM_SIZE};
}

} // namespace Sound
