// The set-up window's port panel: the port list, opening and closing, the
// settings file that remembers the port, and the connection check.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Shape.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/ConnectionCheck.h"
#include "comm/Hidden.h"
#include "comm/LogMemo.h"
#include "comm/PortDoctor.h"
#include "comm/SettingsFile.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/Paths.h"
#include "firmware/Boot.h"

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
const QColor BATTERY_BAR_COLOUR(255, 150, 0);
constexpr int BATTERY_BAR_START_WIDTH = 100;

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

void TSerialForm1::InitSeriale()
{
    QStringList ports;
    EnumPorts(&ports);
    cbports->addItems(ports);
    if (cbports->count() > 0)
        cbports->setCurrentIndex(0);
}

void TSerialForm1::RefreshPortList()
{
    if (ComPort1->IsOpen())
        return;
    const QString selected = cbports->currentText();
    QStringList ports;
    EnumPorts(&ports);
    const QSignalBlocker quiet(cbports);
    cbports->clear();
    cbports->addItems(ports);
    const int kept = ports.indexOf(selected);
    cbports->setCurrentIndex(kept >= 0 ? kept : (ports.isEmpty() ? -1 : 0));
}

void TSerialForm1::LoadSeriale()
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
    cbports->setCurrentIndex(index >= 0 && index < cbports->count() ? index : -1);
    if (cbports->currentText() != read.saved.port)
        return;
    HiddenForm->Memo1->Clear();
    HiddenForm->Memo2->Clear();
    ComPort1->setBaud(Define::LINK_BAUD_AT_START);
    ComPort1->setParity(ptNONE);
    ComPort1->setStopBits(sbONE);
    OpenPort();
}

void TSerialForm1::SaveSeriale()
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
    const QString failure = WriteSettingsFile(path, ComPort1->Port(), cbports->currentIndex());
    if (!failure.isEmpty())
        ShowMessage(QStringLiteral("Cannot write the settings file %1: %2").arg(path, failure));
}

void TSerialForm1::OpenPort()
{
    cbports->setEnabled(false);
    if (cbports->currentIndex() < 0)
        throw EListError(listIndexError(cbports->currentIndex()));
    ComPort1->setPort(cbports->currentText());
    m_portChosen = true;
    try {
        ComPort1->Open();
    } catch (const EComError& failure) {
        const std::optional<PortTrouble> trouble = DiagnosePort(ComPort1->Port());
        if (!trouble)
            throw;
        throw EComError(withAdvice(failure.message(), AdviceParagraph({*trouble})));
    }
    ComPort1->SetRTS(true);
    m_readState.forgetAll(); // perhaps another board: nothing on the screen is its yet
    forgetBoard();
    SelectButton(RadioButton10);
    GroupBox5->setEnabled(true);
}

void TSerialForm1::forgetBoard()
{
    m_board = Params::ParameterImage();
}

void TSerialForm1::ClosePort()
{
    ComPort1->Close();
    forgetBoard();
    cbports->setEnabled(true);
    SelectButton(RadioButton10);
    GroupBox5->setEnabled(false);
}

void TSerialForm1::CloseSeriale()
{
    ComPort1->Close();
    forgetBoard();
    cbports->setEnabled(true);
}

void TSerialForm1::ComPort1PortOpen()
{
    shPortOpen->setBrushColor(PORT_OPEN_COLOUR);
    updateLock();
}

void TSerialForm1::ComPort1PortClose()
{
    shPortOpen->setBrushColor(PORT_CLOSED_COLOUR);
    updateLock();
}

void TSerialForm1::ComPort1Error() {}

void TSerialForm1::ComPort1DeviceLost()
{
    // The component has closed itself already. Stop whatever was talking to the
    // board, put the panel in the closed state with the editing controls off, then
    // say what happened and, for an operation, how far it got.
    const bool checking = Check->running();
    const QString port = ComPort1->Port();
    // The bulk load counts its files by the link, so it is asked before the link lets go.
    const QString bulkLoad = BulkLoadLost(port);
    QStringList cutShort = {Link->deviceLost(port), bulkLoad, HandOverLost(port)};
    cutShort.removeAll(QString());
    Check->stop();
    if (checking)
        waitform->close();
    ClosePort();
    DisattivaSetup();
    updateLock();
    StopRecording();
    const QString replug = QStringLiteral("Plug it in again, choose the port and press \"Open \".");
    if (!cutShort.isEmpty())
        ShowMessage(cutShort.join(QLatin1Char('\n')) + QLatin1Char('\n') + replug);
    else
        ShowMessage(
            QStringLiteral("The connection to the board on %1 was lost (the device was disconnected).\n")
                .arg(port) +
            replug);
}

void TSerialForm1::FormShow()
{
    for (int row = 0; row < static_cast<int>(std::size(TELEMETRY_LABELS)); ++row)
        SetCell(HiddenForm->StringGrid1, 0, row, QString::fromLatin1(TELEMETRY_LABELS[row]));
    Shape2->setBrushColor(BATTERY_BAR_COLOUR);
    if (!Link->busy()) // a bulk load clears it until the board's answers to it are in
        RICHIESTA = true;
    SoundFolder = QDir(DocumentationFolder()).filePath(QString::fromLatin1(SOUND_FOLDER));
    FillFileList();
    // Opened again while an operation runs or the board is on its loader: the
    // board is busy, or would not understand the check; nothing is queued.
    if (!BoardOnLoader())
        Check->start();
    Shape2->setFixedWidth(BATTERY_BAR_START_WIDTH);
    for (QWidget* hidden : std::initializer_list<QWidget*>{Button10, GroupBox1, GroupBox3, GroupBox4})
        hidden->hide();
}

void TSerialForm1::FormClose()
{
    SaveSeriale();
}

bool TSerialForm1::BoardOnLoader() const
{
    // Once the port is closed (the device lost, or the way back to the application
    // under way) the port panel is needed again.
    return HandingOver || (BootForm->isVisible() && ComPort1->IsOpen());
}

bool TSerialForm1::RefuseWhileBoardBusy() const
{
    if (Link->refuseWhileBusy())
        return true;
    if (!BoardOnLoader())
        return false;
    ShowMessage(QStringLiteral("The firmware update is running. Wait until it has finished."));
    return true;
}

void TSerialForm1::buildConnectionCheck()
{
    const auto notFound = [this] {
        ShowMessage(withAdvice(
            QString::fromLatin1(PORT_NOT_FOUND),
            AdviceParagraph(DiagnoseUnopenablePorts(ComPort1->IsOpen() ? ComPort1->Port() : QString()))));
    };
    ConnectionCheck::Steps steps;
    steps.portChosen = [this] { return !cbports->isEnabled(); };
    steps.notFound = [this, notFound](bool closePort) {
        notFound();
        if (!closePort)
            return;
        ClosePort();
        waitform->close();
    };
    steps.showWaiting = [] {
        waitform->setHeight(Define::WAIT_HEIGHT_TEXT_ONLY);
        waitform->Label1->setText(QString::fromLatin1(DOWNLOADING_PARAMETERS));
        waitform->show();
    };
    steps.enterTx = [this] { SelectButton(RadioButton13); };
    steps.enterSetUp = [this] { SelectButton(RadioButton9); };
    steps.startSweep = [this] { return startReadSweep(); };
    steps.closeWaiting = [] {
        waitform->setHeight(Define::WAIT_HEIGHT_WITH_BUTTONS);
        waitform->Label1->setText(QString::fromLatin1(DOWNLOADING_FILES));
        waitform->close();
    };
    Check = new ConnectionCheck(*Link, std::move(steps), this);
}
