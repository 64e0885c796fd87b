// The bytes an upload puts on the wire after its request: the WAV file's 16-bit
// samples after the 44-byte header, each turned into the offset binary the board
// plays, low byte first. Also the checks made on a file before anything is sent.
#pragma once

#include "sound/SlotMap.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace Sound {

// Two's complement to offset binary (bit 15 inverted); 0xFFFF, which the board
// takes for erased flash, becomes 0xFFFE.
std::uint16_t SlotSample(std::uint16_t fileSample);

// Samples after the header of a file of fileBytes bytes (a trailing odd byte is no sample).
int SampleCount(qint64 fileBytes);

struct SkipCounts {
    int begin = 0; // samples not sent at the start
    int end = 0;   // samples not sent at the end
};

// The texts of "Samples to skip (begin)" and "(end)" against a file of
// sampleCount samples: decimal integers from 0 up that leave at least one sample
// when they skip any. The message names the field at fault.
struct SkipCheck {
    std::optional<SkipCounts> counts;
    QString message;
};
SkipCheck CheckSkipCounts(const QString& beginText, const QString& endText, int sampleCount);

// The converted samples of a whole WAV file, skips applied.
QByteArray SlotBytes(const QByteArray& wav, SkipCounts skips);

// An upload ready to go: what goes on the wire after the request, and how the
// progress bar counts it (2-byte units of the whole file, header included).
struct PreparedUpload {
    QByteArray stream;
    SkipCounts skips;
    int fileUnits = 0;
    // The progress bar's position once `sent` stream bytes have left: the units
    // consumed after the header, skipped ones included.
    int unitsDone(qsizetype sent) const;
};

// Everything that must hold before a slot is touched: a file is chosen and can be
// read, it fits the slot, and the skip fields make sense for it. content is the
// file's bytes, or nothing when it could not be read.
struct UploadVerdict {
    std::optional<PreparedUpload> upload;
    QString message;
};
UploadVerdict PrepareUpload(const QString& path, const std::optional<QByteArray>& content,
                            const SoundSlot& slot, const QString& beginText, const QString& endText);

// The same for a file converted to the board's format: samples is what the
// conversion gave, and the skip counts and the slot's limit are counted in those
// samples, as if they were the board-format file of the same sound.
UploadVerdict PrepareSamplesUpload(const QString& path, const std::vector<std::int16_t>& samples,
                                   const SoundSlot& slot, const QString& beginText, const QString& endText);

// "The sound of <path>, converted for the board, is 70000 bytes; this slot takes at most 64954 bytes. ..."
QString ConvertedSizeMessage(const QString& path, qint64 bytes, qint64 limit);

// The whole file, or nothing when it does not exist or cannot be read.
std::optional<QByteArray> ReadSoundFile(const QString& path);

// "The size of selected file <path> is more than 64 kbytes.  Uploaded deleted." (128 Kbytes for a hum).
QString SizeMessage(const QString& path, const SoundSlot& slot);
// "Do you want to load the file <path> on Kordex as <word> sound ?  "
QString LoadQuestion(const QString& path, const QString& word);

// The stream's top pace in bytes a second, and its lead over what has left, in bytes.
qint64 StreamBytesPerSecond();
qsizetype StreamLead();

// How many stream bytes may have been handed to the port elapsedMs after the
// stream began, once `departed` of them have left the computer: what the top pace
// allows so far plus the lead, no more than the lead ahead of what has left, and
// at most total.
qsizetype StreamTarget(qint64 elapsedMs, qsizetype departed, qsizetype total);

// How long after the last of `streamBytes` has left the board's "End." may take:
// the stream's time at the top pace plus Define::UPLOAD_END_MARGIN_MS.
qint64 UploadEndBoundMs(qsizetype streamBytes);

} // namespace Sound
