// Putting the selected file into a slot: the slot buttons (size test, the slot's
// request and its pause, the question) and the file list's menu items (size test,
// the question). Both start the upload of the file they checked. While any
// operation holds the link they refuse before anything else, and every check
// that can refuse runs before the first byte goes to the board.
#include "app/SetupWindow.h"

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

namespace {
const QString DEFAULT_SKIP = QStringLiteral("0");

// The browser's fields are found by name, so that this side does not depend on
// how the browser builds them.
QString fieldText(const QWidget* window, const char* name)
{
    const auto* field = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    return field ? field->text() : DEFAULT_SKIP;
}
} // namespace

QString SetupWindow::beginSkipText() const
{
    return fieldText(this, "beginSkip");
}

QString SetupWindow::endSkipText() const
{
    return fieldText(this, "endSkip");
}

void SetupWindow::showSoundFileName(const QString& path)
{
    if (auto* line = findChild<QLabel*>(QStringLiteral("soundFileName")))
        line->setText(QFileInfo(path).fileName());
}

void SetupWindow::uploadToSlot(int slot)
{
    // The file and the slot are taken now: nothing done during the request's
    // pause or the question can change what is sent.
    if (m_board->link()->refuseWhileBusy())
        return;
    const SoundSlot& s = SoundSlots().at(slot);
    const QString path = selectedSoundFile();
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
    const QString path = selectedSoundFile();
    QString checksum;
    std::optional<PreparedUpload> upload = checkedUpload(s, path, &checksum);
    if (!upload)
        return;
    if (!AskYesNo(LoadQuestion(path, s.menu.word)))
        return;
    startUpload(s, path, std::move(*upload), checksum);
}
