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
    m_soundFileName = emptyValueLabel("soundFileName", QStringLiteral("File name"), this);
    m_soundFileName->setValue(QString::fromLatin1(NO_FILE_NAME));
    info->addRow(m_soundFileName);
    m_previewNote = emptyValueLabel("previewNote", QStringLiteral("Preview"), this);
    m_previewNote->setWordWrap(true);
    m_previewNote->hide();
    info->addRow(m_previewNote);
    const struct {
        const char* caption;
        ValueLabel*& value;
        const char* name;
        const char* accessible;
    } pairs[] = {{"PCM", m_formatCode, "formatCode", "Format code"},
                 {"Mono", m_channelCount, "channelCount", "Channels"},
                 {"Sample rate", m_sampleRate, "sampleRate", "Sample rate"},
                 {"Bit / Sample", m_bitsPerSample, "bitsPerSample", "Bits per sample"},
                 {"Size", m_fileSize, "fileSize", "File size in bytes"}};
    for (const auto& pair : pairs) {
        pair.value = emptyValueLabel(pair.name, QString::fromLatin1(pair.accessible), this);
        info->addRow(QString::fromLatin1(pair.caption), pair.value);
    }
    const struct {
        QLineEdit*& edit;
        const char* name;
        const char* caption;
    } skips[] = {{m_beginSkip, "beginSkip", "Samples to skip (begin)"},
                 {m_endSkip, "endSkip", "Samples to skip (end)"}};
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
    } rows[] = {{m_soundFormat, "soundFormat", "Format"},
                {m_soundConversion, "soundConversion", "For the board"},
                {m_boardSize, "boardSize", "Slot receives"},
                {m_clipNote, "clipNote", "Clipping"}};
    for (const auto& row : rows) {
        row.value = new ValueLabel(QString::fromLatin1(row.caption), this);
        row.value->setObjectName(QString::fromLatin1(row.name));
        row.value->setWordWrap(true);
        info->addRow(QString::fromLatin1(row.caption), row.value);
    }
}

QString InfoFileBox::beginSkipText() const
{
    return m_beginSkip->text();
}

QString InfoFileBox::endSkipText() const
{
    return m_endSkip->text();
}

void InfoFileBox::showFileName(const QString& name)
{
    m_soundFileName->setValue(name);
}

void InfoFileBox::showFile(const QString& path)
{
    m_soundFileName->setValue(QFileInfo(path).fileName());
    showBoardFacts(path);
    if (path.isEmpty())
        return;
    QFile file(path);
    const bool readable = file.open(QIODevice::ReadOnly);
    m_selectedFileSize = readable ? file.size() : -1;
    const Sound::SizeFlags fits = Sound::SizeFlagsFor(m_selectedFileSize);
    m_fitsOneSectorSlot = fits.fitsSlot;
    m_fitsHumSlot = fits.fitsHum;
    m_fileSize->setValue(QString::number(m_selectedFileSize));
    paint(m_fileSize, m_fitsOneSectorSlot ? FITS_COLOUR : TOO_BIG_COLOUR);

    const std::optional<Sound::WavHeaderInfo> header =
        Sound::ReadWavInfo(readable ? file.read(Define::WAV_HEADER_BYTES) : QByteArray());
    const auto shown = [&header](int Sound::WavHeaderInfo::*field) {
        return header ? QString::number((*header).*field) : QString::fromLatin1(NO_VALUE);
    };
    m_formatCode->setValue(shown(&Sound::WavHeaderInfo::format));
    m_channelCount->setValue(shown(&Sound::WavHeaderInfo::channels));
    m_sampleRate->setValue(shown(&Sound::WavHeaderInfo::sampleRate));
    m_bitsPerSample->setValue(shown(&Sound::WavHeaderInfo::bitsPerSample));
}

void InfoFileBox::showPreviewNote(bool audible)
{
    m_previewNote->setValue(audible ? QString()
                                    : QStringLiteral("No sound output on this machine: no preview."));
    m_previewNote->setVisible(!audible);
}

void InfoFileBox::showBoardFacts(const QString& path)
{
    m_convertedSound.clear();
    for (ValueLabel* label : {m_soundFormat, m_soundConversion, m_boardSize, m_clipNote})
        label->setValue(QString());
    paint(m_boardSize, FITS_COLOUR);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    // Mapped, not read: the header alone tells the format, even of a huge file.
    uchar* mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    const QByteArray content =
        mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), file.size()) : QByteArray();
    const SoundFactsRead facts = ReadSoundFacts(content);
    if (!facts.value) {
        m_soundFormat->setValue(QStringLiteral("Not readable as sound: %1").arg(facts.message));
        return;
    }
    m_soundFormat->setValue(facts.value->format.container + QLatin1Char(' ') +
                            FormatText(facts.value->format));
    m_soundConversion->setValue(facts.value->passThrough ? QStringLiteral("Sent as it is")
                                                         : ConversionText(facts.value->format));
    m_boardSize->setValue(sizeText(facts.value->boardSamples));
    paint(m_boardSize,
          FitsSlotSamples(facts.value->boardSamples, SoundSlots().at(SlotIndex(1, SlotKind::Swing, 1)))
              ? FITS_COLOUR
              : TOO_BIG_COLOUR);
    if (facts.value->passThrough ||
        facts.value->format.frames > MAX_CONVERTED_VIEW_SECONDS * facts.value->format.sampleRate)
        return;
    const BoardFileRead converted = ReadBoardFile(content);
    if (!converted.value) {
        m_soundConversion->setValue(QStringLiteral("Cannot be converted: %1").arg(converted.message));
        return;
    }
    if (converted.value->clipped > 0)
        m_clipNote->setValue(ClipWarning(converted.value->clipped));
    m_convertedSound = BoardWavBytes(converted.value->samples);
}
