// The sound panel: the browser, the slot controls it feeds, the file list's keys
// and the end of an upload.
#include "sound/ui/SoundPanel.h"

#include "sound/ui/SoundBrowser.h"

#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/SteppedOperation.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/Paths.h"
#include "sound/BulkLoadOperation.h"
#include "sound/ImportOperation.h"

#include <QDir>
#include <QVBoxLayout>

namespace {
const char* const SOUND_FOLDER = "Fonts/bank1";
} // namespace

SoundPanel::SoundPanel(Params::Board& board, SlotControls::OperationRunner runOperation,
                       ProgressView progressView, QWidget* parent)
    : BoardPanel(board, parent)
    , m_progressView(std::move(progressView))
    , m_browser(new SoundBrowser(this))
    , m_slotControls(new SlotControls(board, *m_browser, std::move(runOperation), m_progressView, this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_browser);
    connect(m_browser, &SoundBrowser::samplesShown, this, &SoundPanel::samplesShown);
    connect(m_browser, &SoundBrowser::fileListKeyPressed, this, [this](int key) { fileListKeyPressed(key); });
    connect(board.link(), &BoardLink::uploadEnded, this, [this] { uploadEnded(); });
}

void SoundPanel::fill()
{
    m_browser->setSoundFolder(QDir(DocumentationFolder()).filePath(QString::fromLatin1(SOUND_FOLDER)));
    m_browser->fillFileList();
}

InfoFileBox* SoundPanel::fileInfo() const
{
    return &m_browser->fileInfo();
}

QString SoundPanel::stopLoading()
{
    // Sounds loaded as a step of longer work (a profile's apply): stopped as
    // Cancel stops that work, after its question.
    Operation* running = board().link()->current();
    if (running && qobject_cast<SteppedOperation*>(&running->whole())) {
        m_progressView().cancel();
        return {};
    }
    if (qobject_cast<BulkLoadOperation*>(running)) {
        running->cancel();
        return QStringLiteral("Loading stopped.");
    }
    if (qobject_cast<ImportOperation*>(running)) {
        running->cancel();
        return QStringLiteral("%1 stops after the file being sent.").arg(running->request().name);
    }
    return QStringLiteral("No sounds are being loaded: nothing was stopped.");
}

void SoundPanel::fileListKeyPressed(int key)
{
    if (key == Qt::Key_F11) {
        if (const QString said = stopLoading(); !said.isEmpty())
            ShowMessage(said);
    } else if (key == Qt::Key_F12) {
        m_slotControls->askToLoadBaseSounds();
    }
    if (key == Qt::Key_Delete && m_previousKey == Qt::Key_ScrollLock)
        emit trafficMonitorWanted();
    m_previousKey = key;
}

void SoundPanel::uploadEnded()
{
    // An "End." routed while the link is still held belongs to a step of work
    // that goes on (a profile's apply between its banks): its wait dialog and
    // its one report stay.
    if (board().link()->busy())
        return;
    // During a bulk load the board's "End." after each file is routed once the
    // load lets go, and must not report each file as if it had been sent alone;
    // nor is the answer to a stream cut short a completed upload.
    if (RICHIESTA && m_slotControls->lastUploadWhole())
        ShowMessage(QStringLiteral("Uploading file completed."));
    m_progressView().close();
}
