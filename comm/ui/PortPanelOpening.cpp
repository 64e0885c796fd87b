// The port panel's port: the list, opening and closing, the settings file that
// remembers the port, and the connection check that runs when the window opens.
#include "comm/ui/PortPanel.h"

#include "app/Forms.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/ConnectionCheck.h"
#include "comm/PortDoctor.h"
#include "comm/SettingsFile.h"
#include "comm/ui/LogMemo.h"
#include "comm/ui/TrafficMonitor.h"
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
    portList->addItems(ports);
    if (portList->count() > 0)
        portList->setCurrentIndex(0);
}

void PortPanel::refreshPortList()
{
    if (m_board.serialPort()->IsOpen())
        return;
    const QString selected = portList->currentText();
    QStringList ports;
    EnumPorts(&ports);
    const QSignalBlocker quiet(portList);
    portList->clear();
    portList->addItems(ports);
    const int kept = ports.indexOf(selected);
    portList->setCurrentIndex(kept >= 0 ? kept : (ports.isEmpty() ? -1 : 0));
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
    portList->setCurrentIndex(index >= 0 && index < portList->count() ? index : -1);
    if (portList->currentText() != read.saved.port)
        return;
    trafficMonitor->sentLog->Clear();
    trafficMonitor->receivedLog->Clear();
    m_board.serialPort()->setBaud(Define::LINK_BAUD_AT_START);
    m_board.serialPort()->setParity(ptNONE);
    m_board.serialPort()->setStopBits(sbONE);
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
    const QString failure = WriteSettingsFile(path, m_board.serialPort()->Port(), portList->currentIndex());
    if (!failure.isEmpty())
        ShowMessage(QStringLiteral("Cannot write the settings file %1: %2").arg(path, failure));
}

void PortPanel::openPort()
{
    portList->setEnabled(false);
    m_board.setPortInUse(true);
    if (portList->currentIndex() < 0)
        throw EListError(listIndexError(portList->currentIndex()));
    m_board.serialPort()->setPort(portList->currentText());
    m_portChosen = true;
    try {
        m_board.serialPort()->Open();
    } catch (const EComError& failure) {
        const std::optional<PortTrouble> trouble = DiagnosePort(m_board.serialPort()->Port());
        if (!trouble)
            throw;
        throw EComError(withAdvice(failure.message(), AdviceParagraph({*trouble})));
    }
    m_board.serialPort()->SetRTS(true);
    m_board.readState().forgetAll(); // perhaps another board: nothing on the screen is its yet
    m_board.forget();
    SelectRadioButton(activeModeButton);
    modeBox->setEnabled(true);
}

void PortPanel::closePort()
{
    m_board.serialPort()->Close();
    m_board.forget();
    portList->setEnabled(true);
    m_board.setPortInUse(false);
    SelectRadioButton(activeModeButton);
    modeBox->setEnabled(false);
}

void PortPanel::closePortOnExit()
{
    m_board.serialPort()->Close();
    m_board.forget();
    portList->setEnabled(true);
    m_board.setPortInUse(false);
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

void PortPanel::windowShown()
{
    // Opened again while an operation runs or the board is on its loader: the
    // board is busy, or would not understand the check; nothing is queued.
    if (!m_board.onLoader())
        connectionCheck->start();
}

void PortPanel::buildConnectionCheck()
{
    const auto notFound = [this] {
        ShowMessage(withAdvice(QString::fromLatin1(PORT_NOT_FOUND),
                               AdviceParagraph(DiagnoseUnopenablePorts(
                                   m_board.serialPort()->IsOpen() ? m_board.serialPort()->Port() : QString()))));
    };
    ConnectionCheck::Steps steps;
    steps.portChosen = [this] { return m_hooks.portInUse(); };
    steps.notFound = [this, notFound](bool alsoClose) {
        notFound();
        if (!alsoClose)
            return;
        closePort();
        waitDialog->close();
    };
    steps.showWaiting = [] {
        waitDialog->setWindowTitle(QString::fromLatin1(WaitDialog::STORED_CAPTION));
        waitDialog->setLayoutHeight(Define::WAIT_HEIGHT_TEXT_ONLY);
        waitDialog->message->setText(QString::fromLatin1(DOWNLOADING_PARAMETERS));
        waitDialog->show();
    };
    steps.enterTx = [this] { SelectRadioButton(txModeButton); };
    steps.enterSetUp = [this] { SelectRadioButton(setUpModeButton); };
    steps.startSweep = [this] { return m_board.startRead(); };
    steps.closeWaiting = [] {
        waitDialog->setLayoutHeight(Define::WAIT_HEIGHT_WITH_BUTTONS);
        waitDialog->message->setText(QString::fromLatin1(DOWNLOADING_FILES));
        waitDialog->close();
    };
    connectionCheck = new ConnectionCheck(*m_board.link(), std::move(steps), this);
}
