// A board's slot journal, whatever its file holds: listed slot by slot, and a
// slot recorded over it is then listed as written.
//
// Input: a byte choosing the slot, then the journal file's bytes.
#include "FuzzInput.h"

#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString SERIAL = QStringLiteral("1523-0042");

const QString& journalFolder()
{
    static const QTemporaryDir folder;
    static const QString path = folder.path();
    return path;
}

void writeJournal(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int slot = input.byte() % static_cast<int>(Sound::SoundSlots().size());
    // Every input starts from an empty folder, so kept copies of damaged journals do not pile up.
    QDir(journalFolder()).removeRecursively();
    Sound::SlotJournal journal(journalFolder());
    FUZZ_CHECK(QDir().mkpath(journalFolder()));
    writeJournal(journal.fileFor(SERIAL), input.rest().bytes());

    const QList<Sound::JournalEntry> entries = journal.list(SERIAL);
    FUZZ_CHECK(entries.size() == Sound::SoundSlots().size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        FUZZ_CHECK(entries[i].slot == i);

    const QDateTime when = QDateTime::fromSecsSinceEpoch(1'796'000'000, Qt::UTC);
    const Sound::SlotSource source =
        Sound::SlotSource::Of(QStringLiteral("/fonts/Hum.wav"), Sound::FileChecksum(QByteArrayLiteral("hum")),
                              QByteArrayLiteral("sent"));
    FUZZ_CHECK(journal.record(SERIAL, slot, source, when).isEmpty());
    const QList<Sound::JournalEntry> after = journal.list(SERIAL);
    FUZZ_CHECK(after.size() == entries.size());
    FUZZ_CHECK(after[slot].fileName == source.fileName);
    FUZZ_CHECK(after[slot].checksum == source.checksum);
    FUZZ_CHECK(after[slot].path == source.path);
    FUZZ_CHECK(after[slot].sentChecksum == source.sentChecksum);
    FUZZ_CHECK(after[slot].written == when);
    return 0;
}
