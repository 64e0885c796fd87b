// Lays out the panels and wires what one needs of another; the lock over them
// while an operation holds the link.
#include "app/SetupWindow.h"

#include "app/BusyLock.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/ScreenCentre.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/ui/LogMemo.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/ui/Named.h"
#include "firmware/ui/FirmwareWindow.h"
#include "sound/ui/SlotControls.h"
#include "sound/ui/SoundBrowser.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTabWidget>

namespace {
// The folder tree, the file list and the waveform share the side column with
// the motion panel's chart, which takes two parts to their one each.
constexpr int SOUND_BROWSER_STRETCH = 3;
constexpr int MOTION_PANEL_STRETCH = 2;
// Scroll Lock then Delete shows the traffic monitor and widens the window by this much.
constexpr int MONITOR_WIDENING = 300;

// Row labels of the telemetry grid, column 0 from row 0.
const char* const TELEMETRY_LABELS[] = {"POSX", "POSY",  "POSZ", "ROTX",     "ROTY", "ROTZ",
                                        "RED",  "GREEN", "BLUE", "Battery ", "USB",  "STATO"};
} // namespace

SetupWindow::SetupWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_board(new Params::Board(this))
    , m_busyLock(new BusyLock(this))
{
    setObjectName(QStringLiteral("setupWindow"));
    setWindowTitle(QStringLiteral("SetUp Kordex"));

    // The client area scrolls, so a screen smaller than the layout shows all of it.
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    auto* scroll = named(new QScrollArea(this), "ClientArea", QStringLiteral("Set-up window"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    m_client = new QWidget(scroll);
    auto* top = new QVBoxLayout(m_client);
    m_motion = new MotionPanel(
        *m_board,
        [this] {
            const auto [vertical, horizontal] = m_parameters->calibrationTexts();
            return CalibrationOperation::Constants{vertical, horizontal};
        },
        progressView(), m_client);
    buildHeader(top);
    buildParametersTab();
    top->addWidget(m_pages, 1);
    scroll->setWidget(m_client);
    frame->addWidget(scroll);
    placeMotionPanel();
    placeSoundControls();

    auto port = std::make_unique<ComPort>(this);
    port->setObjectName(QStringLiteral("serialPort"));
    port->setBaud(Define::LINK_BAUD);
    port->setReceiveMode(rmRAW);
    port->SetTerminator(QStringLiteral("#13"));
    m_board->setPort(std::move(port));
    connectLink();
    // "FW" has always come last in the tab order, after everything the window builds.
    m_header->comeLastInTabOrder();
}

ProgressView SetupWindow::progressView()
{
    return []() -> WaitDialog& { return *waitDialog; };
}

SetupWindow::~SetupWindow()
{
    // The board and its link go first: no port event reaches a half-destroyed
    // window, and the operations the window owns find the link gone.
    delete m_board;
}

SoundBrowser* SetupWindow::browser() const
{
    return m_sounds->browser();
}

InfoFileBox* SetupWindow::fileInfo() const
{
    return m_sounds->fileInfo();
}

void SetupWindow::buildHeader(QVBoxLayout* top)
{
    auto* header = new QHBoxLayout;
    top->addLayout(header);
    // The hand-over closes and reopens the port and ends in the firmware window;
    // a lost device cuts the hand-over short.
    m_header = new HeaderPanel(
        *m_board,
        {.closePort = [this] { m_ports->closePort(); },
         .reopenPort = [this] { return m_ports->reopenPort(); },
         .showFirmwareWindow =
             [] {
                 firmwareWindow->show();
                 firmwareWindow->raise();
             },
         .takeFirmwareLossNote = [] { return firmwareWindow ? firmwareWindow->takeLossNote() : QString(); }},
        m_client);
    m_ports = new PortPanel(*m_board,
                            {[this] { return portInUse(); },
                             [this](const QString& port) { return m_header->handOverCutShort(port); }},
                            progressView(), m_client);
    connect(m_ports, &PortPanel::savedPortOpening, this, [] {
        trafficMonitor->sentLog->Clear();
        trafficMonitor->receivedLog->Clear();
    });
    header->addWidget(m_header);
    header->addWidget(m_ports, 1);
    header->addWidget(m_motion->batteryBox());
    connect(m_header, &HeaderPanel::handingOverChanged, this, [this] { updateLock(); });
    connect(m_ports, &PortPanel::modeEntered, this, [this](Params::Board::Mode mode) {
        if (mode == Params::Board::Mode::Tx)
            m_motion->resetChart();
        else
            m_motion->stopRecording(); // the stream ends with TX
    });
    connect(m_ports, &PortPanel::connectionLost, this, [this] {
        updateLock();
        for (BoardPanel* panel : m_panels)
            panel->boardLost();
    });
}

void SetupWindow::buildParametersTab()
{
    m_pages = named(new QTabWidget(this), "pages", QStringLiteral("Pages"));
    auto* page = new QWidget(m_pages);
    page->setObjectName(QStringLiteral("Parameters"));
    m_pages->addTab(page, QStringLiteral("Parameters"));
    auto* columns = new QHBoxLayout(page);

    m_parameters = new ParameterPanel(
        *m_board, [this](Operation* operation) { return runOperation(operation); }, page);

    columns->addWidget(m_parameters, 1);
    m_sideColumn = new QVBoxLayout;
    columns->addLayout(m_sideColumn);
    m_sounds = new SoundPanel(
        *m_board, [this](Operation* operation) { return runOperation(operation); }, progressView(), page);
    m_sideColumn->addWidget(m_sounds, SOUND_BROWSER_STRETCH);
    // Beside "Save..." and "Load...": a profile is the parameters and the slots' sounds.
    m_profiles = new ProfilePanel(*m_board, m_sounds->journal(), progressView(), page);
    m_parameters->addToActions(m_profiles);
    m_panels = {m_parameters, m_motion, m_sounds, m_ports, m_header, m_profiles};
}

bool SetupWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == firmwareWindow && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        m_board->setFirmwareWindowShown(firmwareWindow->isVisible());
        updateLock();
    }
    return QWidget::eventFilter(watched, event);
}

void SetupWindow::updateLock()
{
    // Whatever could send, change the port or change a running operation's input
    // is off while an operation holds the link or the board is on its loader (the
    // firmware window owns it then); viewing stays live.
    if (m_board->link()->busy() || m_board->onLoader()) {
        QList<QAction*> actions;
        if (mainWindow)
            actions += {mainWindow->openSetupAction, mainWindow->updateFirmwareAction};
        QList<QWidget*> keptLive;
        for (const BoardPanel* panel : m_panels) {
            keptLive += panel->keptLiveWhileLocked();
            actions += panel->actionsOffWhileLocked();
        }
        m_busyLock->lock({this}, keptLive, actions);
        return;
    }
    // Work that ran meanwhile (calibration going to TX, the port closed and
    // opened again) has left each control as it asked for.
    m_busyLock->unlock();
}

void SetupWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_placed) {
        // The layout's own size where the screen has room; later showings keep
        // whatever size the user gave the window.
        FitOnScreen(this, m_client->sizeHint());
        m_placed = true;
    }
    windowShown();
}

void SetupWindow::windowShown()
{
    for (int row = 0; row < static_cast<int>(std::size(TELEMETRY_LABELS)); ++row)
        SetCell(trafficMonitor->telemetryGrid, 0, row, QString::fromLatin1(TELEMETRY_LABELS[row]));
    if (!m_board->link()->busy()) // a bulk load clears it until the board's answers to it are in
        RICHIESTA = true;
    for (BoardPanel* panel : m_panels)
        panel->fill();
}

void SetupWindow::closeEvent(QCloseEvent* event)
{
    m_ports->savePort();
    event->accept();
}

bool SetupWindow::portInUse() const
{
    // The lock holds the port list off as well. A hand-over closes the port while
    // the lock holds: the mode its close selects still turns the set-up controls off.
    return m_board->portInUse() || m_busyLock->locked();
}

void SetupWindow::connectLink()
{
    BoardLink* link = m_board->link();
    connect(link, &BoardLink::busyChanged, this, [this] { updateLock(); });
    connect(link, &BoardLink::writeFileDone, this, [] { ShowMessage(QStringLiteral(" Scrittura completata ")); });
    // After the port panel's indicator has followed the port.
    connect(m_board, &Params::Board::portOpened, this, [this] { updateLock(); });
    connect(m_board, &Params::Board::portClosed, this, [this] { updateLock(); });
}

void SetupWindow::placeMotionPanel()
{
    m_sideColumn->addWidget(m_motion, MOTION_PANEL_STRETCH);
    for (QPushButton* button : m_motion->calibrationButtons())
        m_parameters->addToCalibration(button);
    connect(m_motion, &MotionPanel::telemetryCellsDecoded, this, [](const QList<Motion::GridCell>& cells) {
        for (const Motion::GridCell& cell : cells)
            SetCell(trafficMonitor->telemetryGrid, cell.column, cell.row, cell.text);
    });
    connect(m_motion, &MotionPanel::verticalMeasured, m_parameters, &ParameterPanel::showVerticalCalibration);
    connect(m_motion, &MotionPanel::horizontalMeasured, m_parameters, &ParameterPanel::showHorizontalCalibration);
    connect(m_motion, &MotionPanel::txModeWanted, this,
            [this] { m_ports->chooseMode(Params::Board::Mode::Tx); });
}

void SetupWindow::placeSoundControls()
{
    const SlotControls* controls = m_sounds->slotControls();
    for (int row = 0; row < m_parameters->rowCount(); ++row)
        m_parameters->addToRow(row, controls->rowWidgets(row));
    m_parameters->insertActionRow(controls->actionRow());
    connect(m_sounds, &SoundPanel::samplesShown, this,
            [](const QByteArray& sound) { trafficMonitor->showSamples(sound); });
    connect(m_sounds, &SoundPanel::trafficMonitorWanted, this, [this] {
        trafficMonitor->show();
        trafficMonitor->raise();
        resize(width() + MONITOR_WIDENING, height());
    });
}
