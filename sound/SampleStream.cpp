#include "sound/SampleStream.h"

#include "common/Define.h"

#include <QFile>
#include <algorithm>
#include <climits>

namespace Sound {
namespace {

constexpr int HEADER_UNITS = Define::WAV_HEADER_BYTES / Define::WAV_SAMPLE_BYTES;
constexpr int BITS_PER_BYTE = 8;
constexpr std::uint16_t LOW_BYTE = 0xFF;
constexpr qint64 MS_PER_SECOND = 1000;

const QString SKIP_BEGIN = QStringLiteral("Samples to skip (begin)");
const QString SKIP_END = QStringLiteral("Samples to skip (end)");

std::optional<int> count(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

QString notACount(const QString& field, const QString& text)
{
    return QStringLiteral("%1 must be a whole number from 0 up (it is \"%2\"). Nothing was sent.")
        .arg(field, text);
}

} // namespace

std::uint16_t SlotSample(std::uint16_t fileSample)
{
    const auto converted = static_cast<std::uint16_t>(fileSample ^ Define::SAMPLE_SIGN_BIT);
    return converted == Define::SAMPLE_NEVER_WRITTEN ? Define::SAMPLE_STAND_IN : converted;
}

int SampleCount(qint64 fileBytes)
{
    return static_cast<int>(std::max<qint64>(0, fileBytes / Define::WAV_SAMPLE_BYTES - HEADER_UNITS));
}

SkipCheck CheckSkipCounts(const QString& beginText, const QString& endText, int sampleCount)
{
    const std::optional<int> begin = count(beginText);
    if (!begin)
        return {std::nullopt, notACount(SKIP_BEGIN, beginText)};
    const std::optional<int> end = count(endText);
    if (!end)
        return {std::nullopt, notACount(SKIP_END, endText)};
    if (*begin + *end == 0)
        return {SkipCounts{}, {}};
    if (*begin >= sampleCount)
        return {
            std::nullopt,
            QStringLiteral("%1 must be fewer than the %2 samples of the file (it is %3). Nothing was sent.")
                .arg(SKIP_BEGIN)
                .arg(sampleCount)
                .arg(*begin)};
    if (*end >= sampleCount - *begin)
        return {std::nullopt, QStringLiteral("%1 must be fewer than the %2 samples left after %3 (it is %4). "
                                             "Nothing was sent.")
                                  .arg(SKIP_END)
                                  .arg(sampleCount - *begin)
                                  .arg(SKIP_BEGIN)
                                  .arg(*end)};
    return {SkipCounts{*begin, *end}, {}};
}

namespace {
// Each sample as the slot holds it: offset binary, low byte first.
template <typename SampleAt> QByteArray encodeSamples(int first, int last, SampleAt sampleAt)
{
    QByteArray out(static_cast<qsizetype>(std::max(0, last - first)) * Define::WAV_SAMPLE_BYTES,
                   Qt::Uninitialized);
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    for (int i = first; i < last; ++i) {
        const std::uint16_t v = SlotSample(sampleAt(i));
        *o++ = static_cast<unsigned char>(v & LOW_BYTE);
        *o++ = static_cast<unsigned char>(v >> BITS_PER_BYTE);
    }
    return out;
}
} // namespace

QByteArray SlotBytes(const QByteArray& wav, SkipCounts skips)
{
    const int samples = SampleCount(wav.size());
    const int first = std::min(skips.begin, samples);
    const int last = std::max(first, samples - skips.end);
    const auto* in = reinterpret_cast<const unsigned char*>(wav.constData());
    return encodeSamples(first, last, [in](int i) {
        const unsigned char* p =
            in + Define::WAV_HEADER_BYTES + static_cast<qsizetype>(i) * Define::WAV_SAMPLE_BYTES;
        return static_cast<std::uint16_t>(p[0] | (p[1] << BITS_PER_BYTE));
    });
}

int PreparedUpload::unitsDone(qsizetype sent) const
{
    return skips.begin + static_cast<int>(sent / Define::WAV_SAMPLE_BYTES);
}

UploadVerdict PrepareUpload(const QString& path, const std::optional<QByteArray>& content,
                            const SoundSlot& slot, const QString& beginText, const QString& endText)
{
    if (path.isEmpty())
        return {std::nullopt, SizeMessage(path, slot)};
    if (!content)
        return {std::nullopt, QStringLiteral("Error File")};
    if (!FitsSlot(content->size(), slot))
        return {std::nullopt, SizeMessage(path, slot)};
    const SkipCheck skip = CheckSkipCounts(beginText, endText, SampleCount(content->size()));
    if (!skip.counts)
        return {std::nullopt, skip.message};
    PreparedUpload upload;
    upload.skips = *skip.counts;
    upload.stream = SlotBytes(*content, upload.skips);
    upload.fileUnits = static_cast<int>(content->size() / Define::WAV_SAMPLE_BYTES);
    return {upload, {}};
}

UploadVerdict PrepareSamplesUpload(const QString& path, const std::vector<std::int16_t>& samples,
                                   const SoundSlot& slot, const QString& beginText, const QString& endText)
{
    const int count = static_cast<int>(std::min<size_t>(samples.size(), INT_MAX / Define::WAV_SAMPLE_BYTES));
    const int budget = SampleCount(slot.sizeLimit - 1);
    if (count > budget)
        return {std::nullopt, ConvertedSizeMessage(path, qint64(count) * Define::WAV_SAMPLE_BYTES,
                                                   qint64(budget) * Define::WAV_SAMPLE_BYTES)};
    const SkipCheck skip = CheckSkipCounts(beginText, endText, count);
    if (!skip.counts)
        return {std::nullopt, skip.message};
    PreparedUpload upload;
    upload.skips = *skip.counts;
    upload.stream = encodeSamples(upload.skips.begin, count - upload.skips.end, [&samples](int i) {
        return static_cast<std::uint16_t>(samples[size_t(i)]);
    });
    // Progress counts as it would for the board-format file of these samples.
    upload.fileUnits = HEADER_UNITS + count;
    return {upload, {}};
}

QString ConvertedSizeMessage(const QString& path, qint64 bytes, qint64 limit)
{
    return QStringLiteral("The sound of %1, converted for the board, is %2 bytes; this slot takes at most %3 "
                          "bytes. Trim it to fit or choose a shorter sound. Nothing was sent.")
        .arg(path)
        .arg(bytes)
        .arg(limit);
}

std::optional<QByteArray> ReadSoundFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QString SizeMessage(const QString& path, const SoundSlot& slot)
{
    const QString limit = slot.isHum() ? QStringLiteral(" is more than 128 Kbytes.  Uploaded deleted.")
                                       : QStringLiteral(" is more than 64 kbytes.  Uploaded deleted.");
    return QStringLiteral("The size of selected file ") + path + limit;
}

QString LoadQuestion(const QString& path, const QString& word)
{
    return QStringLiteral("Do you want to load the file ") + path + QStringLiteral(" on Kordex as ") + word +
           QStringLiteral(" sound ?  ");
}

qint64 StreamBytesPerSecond()
{
    return Define::UPLOAD_STREAM_BAUD / Define::UART_BITS_PER_BYTE;
}

qsizetype StreamLead()
{
    return static_cast<qsizetype>(Define::UPLOAD_QUEUE_LEAD_MS * StreamBytesPerSecond() / MS_PER_SECOND);
}

qsizetype StreamTarget(qint64 elapsedMs, qsizetype departed, qsizetype total)
{
    const qint64 paced =
        std::max<qint64>(0, elapsedMs) * StreamBytesPerSecond() / MS_PER_SECOND + StreamLead();
    const qint64 due = std::min<qint64>(paced, std::max<qint64>(0, departed) + StreamLead());
    return static_cast<qsizetype>(std::min<qint64>(due, total));
}

qint64 UploadEndBoundMs(qsizetype streamBytes)
{
    return streamBytes * MS_PER_SECOND / StreamBytesPerSecond() + Define::UPLOAD_END_MARGIN_MS;
}

} // namespace Sound
