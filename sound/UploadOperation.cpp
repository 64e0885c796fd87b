#include "sound/UploadOperation.h"

using namespace Sound;

UploadOperation::UploadOperation(BoardLink& link, const SoundSlot& slot, const QString& path,
                                 PreparedUpload upload, QObject* parent)
    : Operation(link, parent)
    , m_slot(slot)
    , m_path(path)
    , m_upload(std::move(upload))
    , m_writer(link)
{
    describe({QStringLiteral("Upload into %1").arg(m_slot.accessibleName),
              QStringLiteral("sample bytes"),
              static_cast<int>(m_upload.stream.size()),
              BoardLink::Blocks::Deferred,
              {}});
    connect(&m_writer, &SlotWriter::streamed, this,
            [this](qsizetype sent) { progress(static_cast<int>(sent)); });
    connect(&m_writer, &SlotWriter::done, this, &UploadOperation::written);
}

QString UploadOperation::cancelQuestion() const
{
    return QStringLiteral("Stop the upload into %1?").arg(m_slot.accessibleName);
}

QString UploadOperation::title() const
{
    return QStringLiteral("Uploading File ...");
}

QString UploadOperation::progressText() const
{
    return QStringLiteral("Uploading file %1 (%2)").arg(m_path, progressFigure());
}

void UploadOperation::run()
{
    m_writer.write(m_slot, m_upload);
}

void UploadOperation::halt()
{
    m_writer.halt();
}

void UploadOperation::stopSafely()
{
    m_writer.stopSending();
}

void UploadOperation::written(bool confirmed)
{
    if (!stopping()) {
        if (confirmed)
            finish(true);
        else
            finish(false, UnconfirmedUploadMessage(m_slot));
        return;
    }
    // Stopped during the erase, the slot holds nothing at all, not part of the sound.
    if (done() == 0) {
        finish(false, QStringLiteral("The upload into %1 was stopped before any sound was sent: the slot is "
                                     "erased. Upload it again.")
                          .arg(m_slot.accessibleName));
        return;
    }
    finish(false,
           QStringLiteral("The upload into %1 was stopped after %2 of %3 sample bytes: the slot now holds "
                          "only part of the sound. Upload it again.")
               .arg(m_slot.accessibleName)
               .arg(done())
               .arg(request().total));
}
