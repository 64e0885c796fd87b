// The "Info File" group's account of what the board will get: the file's real
// format, the conversion it needs, the bytes a slot receives (red when they do
// not fit a one-sector slot) and a warning when converting clips. The waveform
// and the preview then show the converted sound, as the board will play it.
#include "app/SetupWindow.h"

#include "common/Define.h"
#include "common/ui/ValueLabel.h"
#include "sound/BoardFormat.h"
#include "sound/SoundUpload.h"

#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QTemporaryFile>

using namespace Sound;

namespace {
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
} // namespace

void SetupWindow::buildBoardFacts(QFormLayout* info)
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
        row.value = new ValueLabel(QString::fromLatin1(row.caption), infoFileBox);
        row.value->setObjectName(QString::fromLatin1(row.name));
        row.value->setWordWrap(true);
        info->addRow(QString::fromLatin1(row.caption), row.value);
    }
    previewFile = new QTemporaryFile(this);
    previewFile->setFileTemplate(QDir::tempPath() + QStringLiteral("/tavrin-preview-XXXXXX.wav"));
}

void SetupWindow::showBoardFacts(const QString& path)
{
    convertedSound.clear();
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
    convertedSound = BoardWavBytes(converted.value->samples);
}
