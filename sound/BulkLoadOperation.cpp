#include "sound/BulkLoadOperation.h"

#include "common/Clock.h"
#include "common/Define.h"
#include "sound/BaseSounds.h"
#include "sound/SlotJournal.h"
#include "sound/SoundUpload.h"

#include <QDir>
#include <QFileInfo>

using namespace Sound;

namespace {
const QString NAME = QStringLiteral("Loading the base sound set");
const QString FINISHED = QStringLiteral("Finito..");

// What the upload's checks said, with the file named when they did not name it.
QString namingTheFile(const QString& path, const QString& message)
{
    return message.contains(path) ? message : QStringLiteral("%1: %2").arg(path, message);
}
} // namespace

QString BulkLoadOperation::folderProblem(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return {};
    return QStringLiteral("The base sound set was not found: there is no folder %1. Nothing was loaded.")
        .arg(QDir::toNativeSeparators(folder));
}

BulkLoadOperation* BulkLoadOperation::prepare(BoardLink& link, const QString& folder,
                                              const QString& skipBeginText, const QString& skipEndText,
                                              QString* refusal, QObject* parent)
{
    *refusal = folderProblem(folder);
    if (!refusal->isEmpty())
        return nullptr;
    // Bank 1's slots come first in the slot table, in the base set's order.
    QList<BaseFile> files;
    for (int i = 0; i < static_cast<int>(BASE_SOUND_FILES.size()); ++i) {
        const SoundSlot& slot = SoundSlots().at(i);
        const QString path = QDir(folder).filePath(QString::fromLatin1(BASE_SOUND_FILES[i]));
        FileUpload file = PrepareSoundFileUpload(path, slot, skipBeginText, skipEndText);
        files.append({slot, path, std::move(file.verdict.upload), namingTheFile(path, file.verdict.message),
                      file.content ? FileChecksum(*file.content) : QString()});
    }
    return new BulkLoadOperation(link, std::move(files), parent);
}

BulkLoadOperation::BulkLoadOperation(BoardLink& link, QList<BaseFile> files, QObject* parent)
    : JournalledOperation(link, parent)
    , m_files(std::move(files))
    , m_pacer(link)
    , m_writer(link)
    , m_gap(new WindowTimer(this, Define::BULK_LOAD_TICK_MS))
{
    describe(
        {NAME, QStringLiteral("files"), static_cast<int>(m_files.size()), BoardLink::Blocks::Deferred, {}});
    m_gap->setObjectName(QStringLiteral("BulkLoadTimer"));
    m_gap->setOnTimer([this] { gapTick(); });
    connect(&m_writer, &SlotWriter::done, this, [this](bool confirmed) { m_confirmed = confirmed; });
}

QList<int> BulkLoadOperation::slotsToWrite() const
{
    QList<int> chosen;
    for (int i = 0; i < m_files.size(); ++i)
        if (m_files[i].upload)
            chosen.append(i);
    return chosen;
}

QString BulkLoadOperation::cancelQuestion() const
{
    return QStringLiteral("Stop loading the base sound set after the file being sent?");
}

QString BulkLoadOperation::currentFileName() const
{
    if (m_current < 0 || m_current >= m_files.size())
        return {};
    return QFileInfo(m_files[m_current].path).fileName();
}

QString BulkLoadOperation::progressText() const
{
    const QString file = currentFileName();
    return file.isEmpty() ? Operation::progressText() : Operation::progressText() + QLatin1Char('\n') + file;
}

void BulkLoadOperation::run()
{
    m_current = 0;
    startFile();
}

void BulkLoadOperation::startFile()
{
    progress(m_current);
    const BaseFile& file = m_files[m_current];
    if (!file.upload) {
        m_problems.append(file.problem);
        m_gap->setEnabled(true);
        return;
    }
    // The slot's request and the board's time to prepare it, then the upload;
    // the one-second ticks run from the upload's start.
    m_pacer.run({{file.slot.requestFrame(), file.slot.requestPauseMs}}, [this] {
        const BaseFile& sending = m_files[m_current];
        m_writer.write(sending.slot, *sending.upload);
        m_gap->setEnabled(true);
    });
}

void BulkLoadOperation::gapTick()
{
    if (m_writer.writing())
        return;
    m_gap->setEnabled(false);
    const BaseFile& file = m_files[m_current];
    if (file.upload && !m_confirmed) {
        // A board that did not confirm one file is not sent the next.
        m_unconfirmed = UnconfirmedUploadMessage(file.slot);
        finishLoad();
        return;
    }
    fileDone();
    ++m_current;
    if (m_current == m_files.size() || stopping()) {
        finishLoad();
        return;
    }
    startFile();
}

void BulkLoadOperation::fileDone()
{
    const BaseFile& file = m_files[m_current];
    if (file.upload)
        emit slotWritten(m_current, SlotSource::Of(file.path, file.checksum, file.upload->stream));
}

void BulkLoadOperation::stopSafely()
{
    // The one-second tick always comes: the file being sent is completed, and the
    // tick after it finishes instead of starting the next.
}

void BulkLoadOperation::finishLoad()
{
    progress(m_current);
    const bool cutShort = stopping() || !m_unconfirmed.isEmpty();
    QStringList said;
    if (!m_unconfirmed.isEmpty())
        said.append(m_unconfirmed);
    if (cutShort)
        said.append(
            QStringLiteral("%1 was stopped after %2 of %3 files; the other slots of bank 1 keep what they "
                           "held.")
                .arg(NAME)
                .arg(m_current)
                .arg(m_files.size()));
    else
        said.append(FINISHED);
    if (!m_problems.isEmpty())
        said.append(QStringLiteral("Not loaded:\n") + m_problems.join(QLatin1Char('\n')));
    finish(!cutShort && m_problems.isEmpty(), said.join(QLatin1Char('\n')));
}

void BulkLoadOperation::halt()
{
    m_gap->setEnabled(false);
    m_pacer.stop();
    m_writer.halt();
}
