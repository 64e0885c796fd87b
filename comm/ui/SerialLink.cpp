// The set-up window's port panel: the port list, opening and closing, the
// settings file that remembers the port, and the connection check.
#include "app/SetupWindow.h"
#include "common/ui/Handlers.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "motion/ui/MotionPanel.h"

#include "app/BusyLock.h"
#include "app/Forms.h"
#include "app/Shape.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/ConnectionCheck.h"
#include "comm/ui/TrafficMonitor.h"
#include "comm/ui/LogMemo.h"
#include "comm/PortDoctor.h"
#include "comm/SettingsFile.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/Paths.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {
const QColor PORT_OPEN_COLOUR(255, 255, 0);
const QColor PORT_CLOSED_COLOUR(128, 128, 128);

const char* const PORT_NOT_FOUND = "Kordex Serial ComPort not found .... Please select a right ComPort. ";
const char* const MISSING_FILE = "FILE INESISTENTE : ";
const char* const UNREADABLE_FILE = "Cannot read the settings file %1: %2";
const char* const DOWNLOADING_PARAMETERS = "Wait... Downloading parameters from Kordex in progress.";
const char* const DOWNLOADING_FILES = "Wait... Downloading files to Kordex in progress...";
const char* const SOUND_FOLDER = "Fonts/bank1";

// Row labels of the telemetry grid, column 0 from row 0.
const char* const TELEMETRY_LABELS[] = {"POSX", "POSY",  "POSZ", "ROTX",     "ROTY", "ROTZ",
                                        "RED",  "GREEN", "BLUE", "Battery ", "USB",  "STATO"};

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

void SetupWindow::listPorts()
{
    QStringList ports;
    EnumPorts(&ports);
    portList->addItems(ports);
    if (portList->count() > 0)
        portList->setCurrentIndex(0);
}

void SetupWindow::refreshPortList()
{
    if (m_board->serialPort()->IsOpen())
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

void SetupWindow::openSavedPort()
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
    m_board->serialPort()->setBaud(Define::LINK_BAUD_AT_START);
    m_board->serialPort()->setParity(ptNONE);
    m_board->serialPort()->setStopBits(sbONE);
    openPort();
}

void SetupWindow::savePort()
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
    const QString failure = WriteSettingsFile(path, m_board->serialPort()->Port(), portList->currentIndex());
    if (!failure.isEmpty())
        ShowMessage(QStringLiteral("Cannot write the settings file %1: %2").arg(path, failure));
}

void SetupWindow::openPort()
{
    portList->setEnabled(false);
    m_board->setPortInUse(true);
    if (portList->currentIndex() < 0)
        throw EListError(listIndexError(portList->currentIndex()));
    m_board->serialPort()->setPort(portList->currentText());
    m_portChosen = true;
    try {
        m_board->serialPort()->Open();
    } catch (const EComError& failure) {
        const std::optional<PortTrouble> trouble = DiagnosePort(m_board->serialPort()->Port());
        if (!trouble)
            throw;
        throw EComError(withAdvice(failure.message(), AdviceParagraph({*trouble})));
    }
    m_board->serialPort()->SetRTS(true);
    m_board->readState().forgetAll(); // perhaps another board: nothing on the screen is its yet
    m_board->forget();
    SelectRadioButton(activeModeButton);
    modeBox->setEnabled(true);
}

void SetupWindow::closePort()
{
    m_board->serialPort()->Close();
    m_board->forget();
    portList->setEnabled(true);
    m_board->setPortInUse(false);
    SelectRadioButton(activeModeButton);
    modeBox->setEnabled(false);
}

void SetupWindow::closePortOnExit()
{
    m_board->serialPort()->Close();
    m_board->forget();
    portList->setEnabled(true);
    m_board->setPortInUse(false);
}

void SetupWindow::showPortOpen()
{
    portOpenIndicator->setBrushColor(PORT_OPEN_COLOUR);
    updateLock();
}

void SetupWindow::showPortClosed()
{
    portOpenIndicator->setBrushColor(PORT_CLOSED_COLOUR);
    updateLock();
}


void SetupWindow::deviceLost()
{
    // The component has closed itself already. Stop whatever was talking to the
    // board, put the panel in the closed state with the editing controls off, then
    // say what happened and, for an operation, how far it got.
    const bool checking = connectionCheck->running();
    const QString port = m_board->serialPort()->Port();
    QStringList cutShort = {m_board->link()->deviceLost(port), handOverCutShort(port)};
    cutShort.removeAll(QString());
    connectionCheck->stop();
    if (checking)
        waitDialog->close();
    closePort();
    m_board->setSetUpMode(false);
    updateLock();
    m_motion->stopRecording();
    const QString replug = QStringLiteral("Plug it in again, choose the port and press \"Open \".");
    if (!cutShort.isEmpty())
        ShowMessage(cutShort.join(QLatin1Char('\n')) + QLatin1Char('\n') + replug);
    else
        ShowMessage(
            QStringLiteral("The connection to the board on %1 was lost (the device was disconnected).\n")
                .arg(port) +
            replug);
}

void SetupWindow::windowShown()
{
    for (int row = 0; row < static_cast<int>(std::size(TELEMETRY_LABELS)); ++row)
        SetCell(trafficMonitor->telemetryGrid, 0, row, QString::fromLatin1(TELEMETRY_LABELS[row]));
    m_motion->windowShown();
    if (!m_board->link()->busy()) // a bulk load clears it until the board's answers to it are in
        RICHIESTA = true;
    browser()->soundFolder = QDir(DocumentationFolder()).filePath(QString::fromLatin1(SOUND_FOLDER));
    browser()->fillFileList();
    // Opened again while an operation runs or the board is on its loader: the
    // board is busy, or would not understand the check; nothing is queued.
    if (!m_board->onLoader())
        connectionCheck->start();
    for (QWidget* hidden : std::initializer_list<QWidget*>{writeSerialButton, factoryTestBox, flashServiceBox, bootServiceBox})
        hidden->hide();
}

void SetupWindow::windowClosing()
{
    savePort();
}

bool SetupWindow::portInUse() const
{
    // The lock holds the port list off as well. A hand-over closes the port while
    // the lock holds: the mode its close selects still turns the set-up controls off.
    return m_board->portInUse() || m_busyLock->locked();
}

void SetupWindow::buildConnectionCheck()
{
    const auto notFound = [this] {
        ShowMessage(withAdvice(
            QString::fromLatin1(PORT_NOT_FOUND),
            AdviceParagraph(DiagnoseUnopenablePorts(m_board->serialPort()->IsOpen() ? m_board->serialPort()->Port() : QString()))));
    };
    ConnectionCheck::Steps steps;
    steps.portChosen = [this] { return portInUse(); };
    steps.notFound = [this, notFound](bool alsoClose) {
        notFound();
        if (!alsoClose)
            return;
        closePort();
        waitDialog->close();
    };
    steps.showWaiting = [] {
        waitDialog->setLayoutHeight(Define::WAIT_HEIGHT_TEXT_ONLY);
        waitDialog->message->setText(QString::fromLatin1(DOWNLOADING_PARAMETERS));
        waitDialog->show();
    };
    steps.enterTx = [this] { SelectRadioButton(txModeButton); };
    steps.enterSetUp = [this] { SelectRadioButton(setUpModeButton); };
    steps.startSweep = [this] { return m_board->startRead(); };
    steps.closeWaiting = [] {
        waitDialog->setLayoutHeight(Define::WAIT_HEIGHT_WITH_BUTTONS);
        waitDialog->message->setText(QString::fromLatin1(DOWNLOADING_FILES));
        waitDialog->close();
    };
    connectionCheck = new ConnectionCheck(*m_board->link(), std::move(steps), this);
}
