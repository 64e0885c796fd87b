#include "sound/AudioFile.h"

#include "common/Define.h"
#include "sound/BoardFormat.h"

#include <QBuffer>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <memory>
#include <sndfile.h>

namespace Sound {
namespace {

// libsndfile reads through the device, so that opening a file on disk reads its
// header and no more, and bytes already in memory are read from a buffer.
QIODevice& deviceOf(void* user)
{
    return *static_cast<QIODevice*>(user);
}

sf_count_t fileLength(void* user)
{
    return deviceOf(user).size();
}

sf_count_t seekTo(sf_count_t offset, int whence, void* user)
{
    QIODevice& device = deviceOf(user);
    const sf_count_t base = whence == SEEK_CUR ? device.pos() : whence == SEEK_END ? device.size() : 0;
    const sf_count_t target = base + offset;
    if (target < 0 || target > device.size() || !device.seek(target))
        return -1;
    return target;
}

sf_count_t readInto(void* out, sf_count_t count, void* user)
{
    return std::max<sf_count_t>(0,
                                deviceOf(user).read(static_cast<char*>(out), std::max<sf_count_t>(0, count)));
}

sf_count_t refuseWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t tellPosition(void* user)
{
    return deviceOf(user).pos();
}

SF_VIRTUAL_IO DEVICE_IO = {fileLength, seekTo, readInto, refuseWrite, tellPosition};

struct CloseSound {
    void operator()(SNDFILE* s) const { sf_close(s); }
};
using SoundHandle = std::unique_ptr<SNDFILE, CloseSound>;

struct NamedFormat {
    int code;
    const char* name;
};

const NamedFormat CONTAINERS[] = {
    {SF_FORMAT_WAV, "WAV"},   {SF_FORMAT_WAVEX, "WAV"}, {SF_FORMAT_RF64, "RF64"}, {SF_FORMAT_W64, "W64"},
    {SF_FORMAT_AIFF, "AIFF"}, {SF_FORMAT_FLAC, "FLAC"}, {SF_FORMAT_OGG, "OGG"},   {SF_FORMAT_MPEG, "MP3"},
};

struct Encoding {
    int code;
    const char* name;
    int bits;
};

constexpr int BITS_8 = 8;
constexpr int BITS_16 = 16;
constexpr int BITS_24 = 24;
constexpr int BITS_32 = 32;
constexpr int BITS_64 = 64;

const Encoding ENCODINGS[] = {
    {SF_FORMAT_PCM_S8, "PCM", BITS_8},    {SF_FORMAT_PCM_U8, "PCM", BITS_8},
    {SF_FORMAT_PCM_16, "PCM", BITS_16},   {SF_FORMAT_PCM_24, "PCM", BITS_24},
    {SF_FORMAT_PCM_32, "PCM", BITS_32},   {SF_FORMAT_FLOAT, "float", BITS_32},
    {SF_FORMAT_DOUBLE, "float", BITS_64}, {SF_FORMAT_ULAW, "u-law", BITS_8},
    {SF_FORMAT_ALAW, "A-law", BITS_8},    {SF_FORMAT_VORBIS, "Vorbis", 0},
    {SF_FORMAT_OPUS, "Opus", 0},          {SF_FORMAT_MPEG_LAYER_III, "MP3", 0},
    {SF_FORMAT_MPEG_LAYER_II, "MP2", 0},  {SF_FORMAT_IMA_ADPCM, "IMA ADPCM", 0},
    {SF_FORMAT_MS_ADPCM, "MS ADPCM", 0},
};

// libsndfile's own description, for the rare formats the tables above leave out.
QString describedByLibrary(int code, bool container)
{
    SF_FORMAT_INFO info{};
    info.format = code;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name)
        return QStringLiteral("unknown");
    return container && info.extension ? QString::fromLatin1(info.extension).toUpper()
                                       : QString::fromLatin1(info.name);
}

AudioFormat formatOf(const SF_INFO& info)
{
    AudioFormat f;
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int minor = info.format & SF_FORMAT_SUBMASK;
    const auto c = std::find_if(std::begin(CONTAINERS), std::end(CONTAINERS),
                                [&](const NamedFormat& n) { return n.code == major; });
    f.container = c != std::end(CONTAINERS) ? QString::fromLatin1(c->name) : describedByLibrary(major, true);
    const auto e = std::find_if(std::begin(ENCODINGS), std::end(ENCODINGS),
                                [&](const Encoding& n) { return n.code == minor; });
    f.encoding = e != std::end(ENCODINGS) ? QString::fromLatin1(e->name) : describedByLibrary(minor, false);
    f.bits = e != std::end(ENCODINGS) ? e->bits : 0;
    f.sampleRate = info.samplerate;
    f.channels = info.channels;
    f.frames = std::max<sf_count_t>(0, info.frames);
    return f;
}

struct OpenSound {
    SoundHandle handle;
    SF_INFO info{};
    QString message;
};

// Bounds on what is decoded, so that a damaged or hostile header cannot make the
// tool allocate without end: ten minutes of 48 kHz stereo, far beyond any slot,
// and rates from telephone quality to the highest studio rate.
constexpr int MIN_RATE = 1000;
constexpr int MAX_RATE = 768000;
constexpr qint64 MAX_DECODED_SAMPLES = MAX_SOUND_SECONDS * 48000 * 2;

OpenSound open(QIODevice& device)
{
    OpenSound s;
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) {
        s.message = device.errorString();
        return s;
    }
    s.handle.reset(sf_open_virtual(&DEVICE_IO, SFM_READ, &s.info, &device));
    if (!s.handle)
        s.message = QString::fromLocal8Bit(sf_strerror(nullptr));
    else if (s.info.channels < 1)
        s.message = QStringLiteral("the file names no channels");
    else if (s.info.samplerate < MIN_RATE || s.info.samplerate > MAX_RATE)
        s.message = QStringLiteral("its sample rate of %1 Hz is outside %2 to %3 Hz")
                        .arg(s.info.samplerate)
                        .arg(MIN_RATE)
                        .arg(MAX_RATE);
    else if (s.info.frames > MAX_SOUND_SECONDS * s.info.samplerate ||
             s.info.frames > MAX_DECODED_SAMPLES / s.info.channels)
        s.message = TooLongReason();
    if (!s.message.isEmpty())
        s.handle.reset();
    return s;
}

constexpr sf_count_t READ_BLOCK_FRAMES = 16384;

} // namespace

QString FormatText(const AudioFormat& format)
{
    QString channels = format.channels == 1   ? QStringLiteral("mono")
                       : format.channels == 2 ? QStringLiteral("stereo")
                                              : QStringLiteral("%1 channels").arg(format.channels);
    QString samples = format.bits == 0 ? format.encoding : QStringLiteral("%1-bit").arg(format.bits);
    if (format.bits != 0 && format.encoding != QLatin1String("PCM"))
        samples += QLatin1Char(' ') + format.encoding;
    return QStringLiteral("%1 Hz %2 %3").arg(format.sampleRate).arg(channels, samples);
}

QString TooLongReason()
{
    return QStringLiteral("the sound is longer than %1 s").arg(MAX_SOUND_SECONDS);
}

const QStringList& SoundFileFilters()
{
    static const QStringList filters = {
        QStringLiteral("*.wav"), QStringLiteral("*.wave"), QStringLiteral("*.flac"), QStringLiteral("*.ogg"),
        QStringLiteral("*.oga"), QStringLiteral("*.mp3"),  QStringLiteral("*.aif"),  QStringLiteral("*.aiff"),
    };
    return filters;
}

AudioFormatRead ReadAudioFormat(QIODevice& file)
{
    const OpenSound s = open(file);
    if (!s.handle)
        return {std::nullopt, s.message};
    return {formatOf(s.info), {}};
}

AudioFormatRead ReadAudioFormat(const QByteArray& file)
{
    QBuffer buffer;
    buffer.setData(file);
    return ReadAudioFormat(buffer);
}

AudioRead ReadAudio(const QByteArray& file)
{
    QBuffer buffer;
    buffer.setData(file);
    const OpenSound s = open(buffer);
    if (!s.handle)
        return {std::nullopt, s.message};
    AudioData data;
    data.format = formatOf(s.info);
    // Read in blocks until the end rather than trusting the header's length: a
    // header may promise more than the file holds.
    const auto channels = static_cast<size_t>(s.info.channels);
    std::vector<float> block(static_cast<size_t>(READ_BLOCK_FRAMES) * channels);
    data.samples.reserve(static_cast<size_t>(std::min<sf_count_t>(data.format.frames, file.size())) *
                         channels);
    for (;;) {
        const sf_count_t got = sf_readf_float(s.handle.get(), block.data(), READ_BLOCK_FRAMES);
        if (got <= 0)
            break;
        if (static_cast<qint64>(data.samples.size() / channels) + got >
                MAX_SOUND_SECONDS * s.info.samplerate ||
            static_cast<qint64>(data.samples.size()) + got * s.info.channels > MAX_DECODED_SAMPLES)
            return {std::nullopt, TooLongReason()};
        data.samples.insert(data.samples.end(), block.begin(),
                            block.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(got) * channels));
    }
    if (sf_error(s.handle.get()) != SF_ERR_NO_ERROR)
        return {std::nullopt, QString::fromLocal8Bit(sf_strerror(s.handle.get()))};
    data.format.frames = static_cast<qint64>(data.samples.size() / channels);
    return {std::move(data), {}};
}

bool IsBoardFormat(const QByteArray& file)
{
    // The canonical 44-byte header, field by field (offsets from the file start).
    struct Tag {
        int offset;
        const char* text; // four characters
    };
    struct Field {
        int offset;
        int size;
        quint32 value;
    };
    constexpr int TAG_BYTES = 4;
    constexpr int FMT_SIZE_OFFSET = 16;
    constexpr quint32 FMT_CHUNK_BYTES = 16;
    constexpr quint32 PCM = 1;
    const Tag tags[] = {{0, "RIFF"}, {8, "WAVE"}, {12, "fmt "}, {36, "data"}};
    const Field fields[] = {
        {FMT_SIZE_OFFSET, 4, FMT_CHUNK_BYTES},    {Define::WAV_FORMAT_OFFSET, 2, PCM},
        {Define::WAV_CHANNELS_OFFSET, 2, 1},      {Define::WAV_RATE_OFFSET, 4, BOARD_SAMPLE_RATE},
        {Define::WAV_BITS_OFFSET, 2, BOARD_BITS},
    };
    if (file.size() < Define::WAV_HEADER_BYTES)
        return false;
    const char* p = file.constData();
    return std::all_of(std::begin(tags), std::end(tags),
                       [&](const Tag& t) { return std::memcmp(p + t.offset, t.text, TAG_BYTES) == 0; }) &&
           std::all_of(std::begin(fields), std::end(fields), [&](const Field& f) {
               const auto* at = reinterpret_cast<const uchar*>(p + f.offset);
               const quint32 v =
                   f.size == 2 ? qFromLittleEndian<quint16>(at) : qFromLittleEndian<quint32>(at);
               return v == f.value;
           });
}

} // namespace Sound
