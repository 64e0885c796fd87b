// Writing one WAV file into one slot: the slot's sectors are erased, the upload
// request opens the transfer and the converted samples follow as raw bytes. All
// of it, up to the closing pause, is one operation on the link.
//
// The board takes the samples at the line's pace with no acknowledgement. They
// are converted once, then handed to the port a little ahead of the wire on each
// Timer2 tick: the bytes and their order are the same as one send per byte, but
// the window spends microseconds per tick instead of a send per byte, and the
// progress bar moves with the wire rather than with the queue.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/Frames.h"
#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/Media.h"

#include <QLabel>
#include <QProgressBar>

using namespace Sound;

namespace {
// Timer2's steps; the connection check uses the same field and never overlaps.
enum UploadStep { UPLOAD_IDLE = 0, REQUEST_DUE = 1, SAMPLES_DUE = 2, STREAMING = 3 };
} // namespace

void TSerialForm1::WriteSector(quint32 Add)
{
    const SoundSlot* slot = SlotStartingAt(Add);
    if (!slot)
        return; // every caller passes a slot's start address
    // The preview lets go of the file it plays, which may be the one to send.
    MediaPlayer1->close();
    if (RICHIESTA)
        FileName = SelectedSoundFile();
    // The file is read and checked again now: it may have gone or grown since it
    // was selected, and nothing may be erased for a file that cannot be sent.
    UploadVerdict verdict =
        PrepareUpload(FileName, ReadSoundFile(FileName), *slot, SkipBeginText(), SkipEndText());
    if (!verdict.upload) {
        ShowMessage(verdict.message);
        return;
    }
    const auto streamBytes = static_cast<int>(verdict.upload->stream.size());
    if (!Link->begin({QStringLiteral("Upload into %1").arg(slot->accessibleName),
                      QStringLiteral("sample bytes"), streamBytes, BoardLink::Blocks::Deferred, [this] {
                          Timer2->setEnabled(false);
                          stopPacing();
                          STEP = UPLOAD_IDLE;
                          m_upload.reset();
                          waitform->close();
                      }}))
        return;
    m_upload = std::move(verdict.upload);
    waitform->setWindowTitle(QStringLiteral("Uploading File ..."));
    waitform->show();
    ShowSoundFileName(FileName);
    paceFrames(
        UploadErasePlan(*slot),
        [this] {
            STEP = REQUEST_DUE;
            Timer2->setEnabled(true);
        },
        false);
}

void TSerialForm1::Timer2Timer()
{
    if (STEP == REQUEST_DUE) {
        SendCommandDataFile();
        STEP = SAMPLES_DUE;
    } else if (STEP == SAMPLES_DUE) {
        WriteFileInTavrin();
    } else if (STEP == STREAMING) {
        sendSampleChunk();
    }
}

void TSerialForm1::SendCommandDataFile()
{
    const BoardLink::Sending sending(*Link);
    SendCommand(AddressFrame(Define::DATAFILE_CMD, StartAddress));
}

void TSerialForm1::WriteFileInTavrin()
{
    ShowSoundFileName(FileName);
    const QString text = QStringLiteral("Uploading file ") + FileName;
    waitform->setWindowTitle(text);
    waitform->Label1->setText(text);
    waitform->Label1->repaint();
    waitform->ProgressBar1->setRange(0, m_upload->fileUnits);
    waitform->ProgressBar1->setValue(0);
    m_streamSent = 0;
    m_streamStart = appClock().now();
    STEP = STREAMING;
    sendSampleChunk();
}

void TSerialForm1::sendSampleChunk()
{
    const QByteArray& stream = m_upload->stream;
    const qsizetype due = StreamTarget(appClock().now() - m_streamStart, ComPort1->Baud(), stream.size());
    if (due > m_streamSent) {
        {
            const BoardLink::Sending sending(*Link);
            SendToBoard(stream.mid(m_streamSent, due - m_streamSent));
        }
        m_streamSent = due;
        Link->progress(static_cast<int>(m_streamSent));
        waitform->ProgressBar1->setValue(m_upload->unitsDone(m_streamSent));
    }
    if (m_streamSent < stream.size())
        return;
    Timer2->setEnabled(false);
    STEP = UPLOAD_IDLE;
    // The board gets its time to store the tail before anything else may be sent.
    paceFrames(
        {{QByteArray(), Define::UPLOAD_CLOSING_PAUSE_MS}},
        [this] {
            waitform->close();
            m_upload.reset();
            Link->end();
        },
        false);
}

void TSerialForm1::paceFrames(QList<PacedFrame> steps, std::function<void()> done, bool countsProgress)
{
    m_paceSteps = std::move(steps);
    m_paceDone = std::move(done);
    m_paceSent = 0;
    m_paceCountsProgress = countsProgress;
    paceTick();
}

void TSerialForm1::paceTick()
{
    // Each step's pause runs from the moment its frame left.
    if (m_paceSteps.isEmpty()) {
        PaceTimer->setEnabled(false);
        const std::function<void()> done = std::exchange(m_paceDone, nullptr);
        if (done)
            done();
        return;
    }
    const PacedFrame step = m_paceSteps.takeFirst();
    if (!step.frame.isEmpty()) {
        const BoardLink::Sending sending(*Link);
        SendCommand(step.frame);
        ++m_paceSent;
        if (m_paceCountsProgress)
            Link->progress(m_paceSent);
    }
    if (step.pauseAfterMs > 0 || !m_paceSteps.isEmpty()) {
        PaceTimer->setInterval(step.pauseAfterMs);
        PaceTimer->setEnabled(true);
        return;
    }
    paceTick();
}

void TSerialForm1::stopPacing()
{
    PaceTimer->setEnabled(false);
    m_paceSteps.clear();
    m_paceDone = nullptr;
}
