// Putting the selected file into a slot: the slot buttons (size test, the slot's
// request and its pause, the question) and the file list's menu items (size test,
// the question). Both start the upload of the file they checked. While any
// operation holds the link they refuse before anything else, and every check
// that can refuse runs before the first byte goes to the board.
#include "app/SetupWindow.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/ui/InfoFileBox.h"
#include "common/ui/ValueLabel.h"

#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Dialogs.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace Sound;

QString SetupWindow::beginSkipText() const
{
    return m_browser->fileInfo->beginSkip->text();
}

QString SetupWindow::endSkipText() const
{
    return m_browser->fileInfo->endSkip->text();
}

void SetupWindow::showSoundFileName(const QString& path)
{
    m_browser->fileInfo->soundFileName->setValue(QFileInfo(path).fileName());
}

void SetupWindow::uploadToSlot(int slot)
{
    // The file and the slot are taken now: nothing done during the request's
    // pause or the question can change what is sent.
    if (m_board->link()->refuseWhileBusy())
        return;
    const SoundSlot& s = SoundSlots().at(slot);
    const QString path = m_browser->selectedSoundFile();
    QString checksum;
    std::optional<PreparedUpload> upload = checkedUpload(s, path, &checksum);
    if (!upload)
        return;
    m_board->link()->sendCommand(s.requestFrame());
    // The hum's button stays off while the board prepares the long slot.
    QPushButton* hum = s.isHum() ? slotButtons[slot] : nullptr;
    if (hum) {
        hum->setEnabled(false);
        hum->repaint();
    }
    if (s.requestPauseMs > 0)
        Sleep(s.requestPauseMs);
    if (hum) {
        hum->setEnabled(true);
        hum->repaint();
    }
    if (!m_board->serialPort()->IsOpen()) // lost during the request's pause; the loss has been reported
        return;
    if (!AskYesNo(LoadQuestion(path, s.buttonWord)))
        return;
    startUpload(s, path, std::move(*upload), checksum);
}

void SetupWindow::uploadFromMenu(int slot)
{
    if (m_board->link()->refuseWhileBusy())
        return;
    const SoundSlot& s = SoundSlots().at(slot);
    const QString path = m_browser->selectedSoundFile();
    QString checksum;
    std::optional<PreparedUpload> upload = checkedUpload(s, path, &checksum);
    if (!upload)
        return;
    if (!AskYesNo(LoadQuestion(path, s.menu.word)))
        return;
    startUpload(s, path, std::move(*upload), checksum);
}
