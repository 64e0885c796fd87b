// The "Info File" group's account of what the board will get: the file's real
// format, the conversion it needs, the bytes a slot receives (red when they do
// not fit a one-sector slot) and a warning when converting clips. The waveform
// and the preview then show the converted sound, as the board will play it.
#include "sound/ui/InfoFileBox.h"

#include "common/Define.h"
#include "common/ui/Named.h"
#include "sound/BoardFormat.h"
#include "sound/SoundUpload.h"
#include "sound/WavInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>

using namespace Sound;

namespace {
const char* const NO_FILE_NAME = ".................";
const char* const NO_VALUE = "----";
const char* const NO_SKIP = "0";

// A sound for a slot lasts about three seconds at most: a longer one is not
// converted for the picture and the preview, so that selecting it stays quick
// whatever its size on disk.
constexpr qint64 MAX_CONVERTED_VIEW_SECONDS = 10;
const QColor FITS_COLOUR(Qt::black);
const QColor TOO_BIG_COLOUR(Qt::red);

void paint(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QString sizeText(qint64 boardSamples)
{
    const qint64 bytes = boardSamples * Define::WAV_SAMPLE_BYTES;
    const SoundSlot& oneSector = SoundSlots().at(SlotIndex(1, SlotKind::Swing, 1));
    const SoundSlot& hum = SoundSlots().at(SlotIndex(1, SlotKind::Hum, 1));
    if (FitsSlotSamples(boardSamples, oneSector))
        return QStringLiteral("%1 bytes for the board").arg(bytes);
    if (FitsSlotSamples(boardSamples, hum))
        return QStringLiteral("%1 bytes for the board: only a hum slot takes it").arg(bytes);
    return QStringLiteral("%1 bytes for the board: too long for any slot, offered a trim on upload")
        .arg(bytes);
}

ValueLabel* emptyValueLabel(const char* name, const QString& caption, QWidget* parent)
{
    auto* label = valueLabel(name, caption, parent);
    label->setValue(QString::fromLatin1(NO_VALUE));
    return label;
}
} // namespace

InfoFileBox::InfoFileBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Info File "), parent)
{
    setObjectName(QStringLiteral("infoFileBox"));
    setAccessibleName(QStringLiteral("Info File"));
    auto* info = new QFormLayout(this);
    soundFileName = emptyValueLabel("soundFileName", QStringLiteral("File name"), this);
    soundFileName->setValue(QString::fromLatin1(NO_FILE_NAME));
    info->addRow(soundFileName);
    previewNote = emptyValueLabel("previewNote", QStringLiteral("Preview"), this);
    previewNote->setWordWrap(true);
    previewNote->hide();
    info->addRow(previewNote);
    const struct {
        const char* caption;
        ValueLabel*& value;
        const char* name;
        const char* accessible;
    } pairs[] = {{"PCM", formatCode, "formatCode", "Format code"},
                 {"Mono", channelCount, "channelCount", "Channels"},
                 {"Sample rate", sampleRate, "sampleRate", "Sample rate"},
                 {"Bit / Sample", bitsPerSample, "bitsPerSample", "Bits per sample"},
                 {"Size", fileSize, "fileSize", "File size in bytes"}};
    for (const auto& pair : pairs) {
        pair.value = emptyValueLabel(pair.name, QString::fromLatin1(pair.accessible), this);
        info->addRow(QString::fromLatin1(pair.caption), pair.value);
    }
    const struct {
        QLineEdit*& edit;
        const char* name;
        const char* caption;
    } skips[] = {{beginSkip, "beginSkip", "Samples to skip (begin)"}, {endSkip, "endSkip", "Samples to skip (end)"}};
    for (const auto& skip : skips) {
        skip.edit = new QLineEdit(QString::fromLatin1(NO_SKIP), this);
        skip.edit->setObjectName(QString::fromLatin1(skip.name));
        skip.edit->setAccessibleName(QString::fromLatin1(skip.caption));
        info->addRow(QString::fromLatin1(skip.caption), skip.edit);
    }
    buildBoardFacts(info);
}

void InfoFileBox::buildBoardFacts(QFormLayout* info)
{
    const struct {
        ValueLabel*& value;
        const char* name;
        const char* caption;
    } rows[] = {{soundFormat, "soundFormat", "Format"},
                {soundConversion, "soundConversion", "For the board"},
                {boardSize, "boardSize", "Slot receives"},
                {clipNote, "clipNote", "Clipping"}};
    for (const auto& row : rows) {
        row.value = new ValueLabel(QString::fromLatin1(row.caption), this);
        row.value->setObjectName(QString::fromLatin1(row.name));
        row.value->setWordWrap(true);
        info->addRow(QString::fromLatin1(row.caption), row.value);
    }
}

void InfoFileBox::showFile(const QString& path)
{
    soundFileName->setValue(QFileInfo(path).fileName());
    showBoardFacts(path);
    if (path.isEmpty())
        return;
    QFile file(path);
    const bool readable = file.open(QIODevice::ReadOnly);
    selectedFileSize = readable ? file.size() : -1;
    const Sound::SizeFlags fits = Sound::SizeFlagsFor(selectedFileSize);
    fitsOneSectorSlot = fits.fitsSlot;
    fitsHumSlot = fits.fitsHum;
    fileSize->setValue(QString::number(selectedFileSize));
    paint(fileSize, fitsOneSectorSlot ? FITS_COLOUR : TOO_BIG_COLOUR);

    const std::optional<Sound::WavHeaderInfo> header =
        Sound::ReadWavInfo(readable ? file.read(Define::WAV_HEADER_BYTES) : QByteArray());
    const auto shown = [&header](int Sound::WavHeaderInfo::*field) {
        return header ? QString::number((*header).*field) : QString::fromLatin1(NO_VALUE);
    };
    formatCode->setValue(shown(&Sound::WavHeaderInfo::format));
    channelCount->setValue(shown(&Sound::WavHeaderInfo::channels));
    sampleRate->setValue(shown(&Sound::WavHeaderInfo::sampleRate));
    bitsPerSample->setValue(shown(&Sound::WavHeaderInfo::bitsPerSample));
}

void InfoFileBox::showPreviewNote(bool audible)
{
    previewNote->setValue(audible ? QString() : QStringLiteral("No sound output on this machine: no preview."));
    previewNote->setVisible(!audible);
}

void InfoFileBox::showBoardFacts(const QString& path)
{
    m_convertedSound.clear();
    for (ValueLabel* label : {soundFormat, soundConversion, boardSize, clipNote})
        label->setValue(QString());
    paint(boardSize, FITS_COLOUR);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    // Mapped, not read: the header alone tells the format, even of a huge file.
    uchar* mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    const QByteArray content =
        mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), file.size()) : QByteArray();
    const SoundFactsRead facts = ReadSoundFacts(content);
    if (!facts.value) {
        soundFormat->setValue(QStringLiteral("Not readable as sound: %1").arg(facts.message));
        return;
    }
    soundFormat->setValue(facts.value->format.container + QLatin1Char(' ') + FormatText(facts.value->format));
    soundConversion->setValue(facts.value->passThrough ? QStringLiteral("Sent as it is")
                                                       : ConversionText(facts.value->format));
    boardSize->setValue(sizeText(facts.value->boardSamples));
    paint(boardSize,
          FitsSlotSamples(facts.value->boardSamples, SoundSlots().at(SlotIndex(1, SlotKind::Swing, 1)))
              ? FITS_COLOUR
              : TOO_BIG_COLOUR);
    if (facts.value->passThrough ||
        facts.value->format.frames > MAX_CONVERTED_VIEW_SECONDS * facts.value->format.sampleRate)
        return;
    const BoardFileRead converted = ReadBoardFile(content);
    if (!converted.value) {
        soundConversion->setValue(QStringLiteral("Cannot be converted: %1").arg(converted.message));
        return;
    }
    if (converted.value->clipped > 0)
        clipNote->setValue(ClipWarning(converted.value->clipped));
    m_convertedSound = BoardWavBytes(converted.value->samples);
}
