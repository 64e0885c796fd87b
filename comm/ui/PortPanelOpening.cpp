// The port panel's port: the list, opening and closing, the settings file that
// remembers the port, and the connection check that runs when the window opens.
#include "comm/ui/PortPanel.h"

#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/ConnectionCheck.h"
#include "comm/PortDoctor.h"
#include "comm/SettingsFile.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Framework.h"
#include "common/Paths.h"
#include "common/ui/Handlers.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {
const char* const PORT_NOT_FOUND = "Kordex Serial ComPort not found .... Please select a right ComPort. ";
const char* const MISSING_FILE = "FILE INESISTENTE : ";
const char* const UNREADABLE_FILE = "Cannot read the settings file %1: %2";
const char* const DOWNLOADING_PARAMETERS = "Wait... Downloading parameters from Kordex in progress.";
const char* const DOWNLOADING_FILES = "Wait... Downloading files to Kordex in progress...";

// The message first, unchanged; what can be done about it in a paragraph of its own.
QString withAdvice(const QString& message, const QString& advice)
{
    return advice.isEmpty() ? message : message + QStringLiteral("\n\n") + advice;
}

QString listIndexError(int index)
{
    return QStringLiteral("List index out of bounds (%1)").arg(index);
}
} // namespace

void PortPanel::listPorts()
{
    QStringList ports;
    EnumPorts(&ports);
    m_portList->addItems(ports);
    if (m_portList->count() > 0)
        m_portList->setCurrentIndex(0);
}

void PortPanel::refreshPortList()
{
    if (board().serialPort()->IsOpen())
        return;
    const QString selected = m_portList->currentText();
    QStringList ports;
    EnumPorts(&ports);
    const QSignalBlocker quiet(m_portList);
    m_portList->clear();
    m_portList->addItems(ports);
    const int kept = ports.indexOf(selected);
    m_portList->setCurrentIndex(kept >= 0 ? kept : (ports.isEmpty() ? -1 : 0));
}

void PortPanel::openSavedPort()
{
    const QString path = SettingsFilePath();
    const SettingsRead read = ReadSettingsFile(path);
    if (read.status == SettingsRead::Status::Missing) {
        ShowMessage(QString::fromLatin1(MISSING_FILE) + path);
        return;
    }
    if (read.status == SettingsRead::Status::Unreadable) {
        ShowMessage(QString::fromLatin1(UNREADABLE_FILE).arg(path, read.reason));
        return;
    }
    const int index = SavedIndex(read.saved);
    // An index beyond the list selects nothing, as the classic list boxes do.
    m_portList->setCurrentIndex(index >= 0 && index < m_portList->count() ? index : -1);
    if (m_portList->currentText() != read.saved.port)
        return;
    emit savedPortOpening();
    board().serialPort()->setBaud(Define::LINK_BAUD_AT_START);
    board().serialPort()->setParity(ptNONE);
    board().serialPort()->setStopBits(sbONE);
    openPort();
}

void PortPanel::savePort()
{
    const QString path = SettingsFilePath();
    if (!QFileInfo::exists(path)) {
        ShowMessage(QString::fromLatin1(MISSING_FILE) + path);
        return;
    }
    // A run that never chose a port (none found, or another copy of the tool
    // holds it) has nothing to remember: the port saved before stays.
    if (!m_portChosen)
        return;
    const QString failure = WriteSettingsFile(path, board().serialPort()->Port(), m_portList->currentIndex());
    if (!failure.isEmpty())
        ShowMessage(QStringLiteral("Cannot write the settings file %1: %2").arg(path, failure));
}

void PortPanel::openPort()
{
    m_portList->setEnabled(false);
    board().setPortInUse(true);
    if (m_portList->currentIndex() < 0)
        throw EListError(listIndexError(m_portList->currentIndex()));
    board().serialPort()->setPort(m_portList->currentText());
    m_portChosen = true;
    try {
        board().serialPort()->Open();
    } catch (const EComError& failure) {
        const std::optional<PortTrouble> trouble = DiagnosePort(board().serialPort()->Port());
        if (!trouble)
            throw;
        throw EComError(withAdvice(failure.message(), AdviceParagraph({*trouble})));
    }
    board().serialPort()->SetRTS(true);
    board().readState().forgetAll(); // perhaps another board: nothing on the screen is its yet
    board().forget();
    SelectRadioButton(m_activeModeButton);
    m_modeBox->setEnabled(true);
}

void PortPanel::closePort()
{
    board().serialPort()->Close();
    board().forget();
    m_portList->setEnabled(true);
    board().setPortInUse(false);
    SelectRadioButton(m_activeModeButton);
    m_modeBox->setEnabled(false);
}

void PortPanel::closePortOnExit()
{
    board().serialPort()->Close();
    board().forget();
    m_portList->setEnabled(true);
    board().setPortInUse(false);
}


bool PortPanel::reopenPort()
{
    try {
        openPort();
        return true;
    } catch (const Exception& e) {
        dialogs().error(e.message());
        return false;
    }
}

void PortPanel::fill()
{
    // Opened again while an operation runs or the board is on its loader: the
    // board is busy, or would not understand the check; nothing is queued.
    if (!board().onLoader())
        m_connectionCheck->start();
}

void PortPanel::buildConnectionCheck()
{
    const auto notFound = [this] {
        ShowMessage(
            withAdvice(QString::fromLatin1(PORT_NOT_FOUND),
                       AdviceParagraph(DiagnoseUnopenablePorts(
                           board().serialPort()->IsOpen() ? board().serialPort()->Port() : QString()))));
    };
    ConnectionCheck::Steps steps;
    steps.portChosen = [this] { return m_hooks.portInUse(); };
    steps.notFound = [this, notFound](bool alsoClose) {
        notFound();
        if (!alsoClose)
            return;
        closePort();
        m_progressView().close();
    };
    steps.showWaiting = [this] {
        WaitDialog& view = m_progressView();
        view.setWindowTitle(QString::fromLatin1(WaitDialog::STORED_CAPTION));
        view.setLayoutHeight(Define::WAIT_HEIGHT_TEXT_ONLY);
        view.message->setText(QString::fromLatin1(DOWNLOADING_PARAMETERS));
        view.show();
    };
    steps.enterTx = [this] { SelectRadioButton(m_txModeButton); };
    steps.enterSetUp = [this] { SelectRadioButton(m_setUpModeButton); };
    steps.startSweep = [this] { return board().startRead(); };
    steps.closeWaiting = [this] {
        WaitDialog& view = m_progressView();
        view.setLayoutHeight(Define::WAIT_HEIGHT_WITH_BUTTONS);
        view.message->setText(QString::fromLatin1(DOWNLOADING_FILES));
        view.close();
    };
    m_connectionCheck = new ConnectionCheck(*board().link(), std::move(steps), this);
}
