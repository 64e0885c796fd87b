// A sound file of any format as the board will receive it. A file already in the
// board's format goes out byte for byte as it always has; any other is decoded
// and converted first, and its skip counts and size are counted in the
// converted samples.
#pragma once

#include "sound/AudioFile.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace Sound {

// What a file is and what the board would get of it, from its header alone.
struct SoundFacts {
    AudioFormat format;
    bool passThrough = false; // in the board's format: sent as it is
    qint64 boardSamples = 0;  // samples the slot would receive, skips not counted
};
using SoundFactsRead = Outcome<SoundFacts>;
// From a device only the header is read (the device is opened read-only when it
// is not open yet): its length and the header's frames and rate tell the size.
SoundFactsRead ReadSoundFacts(QIODevice& file);
SoundFactsRead ReadSoundFacts(const QByteArray& content);

// Whether that many board samples fit a slot; the same rule as the file size
// limit for a board-format file.
bool FitsSlotSamples(qint64 boardSamples, const SoundSlot& slot);

// A file decoded and converted: the samples as the board will play them, for
// the waveform and the preview as well as the upload.
struct BoardFile {
    SoundFacts facts;
    std::vector<std::int16_t> samples;
    int clipped = 0;
};
using BoardFileRead = Outcome<BoardFile>;
BoardFileRead ReadBoardFile(const QByteArray& content);

// "The file <path> cannot be read as sound (<reason>). Nothing was sent."
QString UnreadableMessage(const QString& path, const QString& reason);

// PrepareUpload for a file of any format. With trimToFit, a sound longer than the
// slot is cut to fit with a fade-out instead of refused.
UploadVerdict PrepareSoundUpload(const QString& path, const std::optional<QByteArray>& content,
                                 const SoundSlot& slot, const QString& beginText, const QString& endText,
                                 bool trimToFit = false);

// The refusal a file earns from its header and length alone, before any sample
// is read: a length beyond any decoding, or (unless it is to be trimmed) a size
// beyond the slot, in the same words as the refusal after converting. Empty when
// only reading the file can tell.
QString RefusalFromHead(const QString& path, QIODevice& file, const SoundSlot& slot, bool trimToFit);

// A file on disk judged by its header first and read whole only when it may fit
// (or be trimmed into) the slot; content is what was read, for its checksum.
struct FileUpload {
    UploadVerdict verdict;
    std::optional<QByteArray> content;
};
FileUpload PrepareSoundFileUpload(const QString& path, const SoundSlot& slot, const QString& beginText,
                                  const QString& endText, bool trimToFit = false);

// The offer made when a readable sound is too long for the slot: "The sound of
// <path> is 70000 bytes for the board; the slot takes at most 64954. Trim its
// end, fading out over the last 20 ms, so that it fits?". Empty when the sound
// fits or cannot be read, so there is nothing to offer. Only the header is read.
QString TrimOffer(const QString& path, const SoundSlot& slot);

} // namespace Sound
