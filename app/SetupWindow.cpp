// Builds the set-up window's controls. Behaviour lives with the subsystems.
#include "app/SetupWindow.h"

#include "app/BusyLock.h"
#include "firmware/ui/FirmwareWindow.h"
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/PortComboBox.h"
#include "app/ScreenCentre.h"
#include "app/Shape.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SlotControls.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/ui/SoundPanel.h"
#include "comm/ui/TrafficMonitor.h"
#include "motion/ui/MotionPanel.h"
#include "comm/ComPort.h"
#include "comm/BoardLink.h"
#include "motion/TelemetryRecorder.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/ui/Media.h"
#include "common/ui/Named.h"
#include "common/ui/ValueLabel.h"
#include "motion/TelemetryRecorder.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>

namespace {
constexpr int INDICATOR_SIZE = 16;
constexpr int PORT_LIST_MIN_WIDTH = 220;
// The folder tree, the file list and the waveform share the side column with
// the motion panel's chart, which takes two parts to their one each.
constexpr int SOUND_BROWSER_STRETCH = 3;
constexpr int MOTION_PANEL_STRETCH = 2;
// Scroll Lock then Delete shows the traffic monitor and widens the window by this much.
constexpr int MONITOR_WIDENING = 300;
const QColor PORT_CLOSED_COLOUR(128, 128, 128);
const QColor HEADER_COLOUR(43, 52, 64);
const QColor HEADER_TEXT_COLOUR(230, 234, 238);

QLabel* caption(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}
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
        *m_board, [this] { return CalibrationOperation::Constants{verticalCalibration->text(), horizontalCalibration->text()}; },
        m_client);
    buildHeader(top);
    buildParametersTab();
    top->addWidget(pages, 1);
    scroll->setWidget(m_client);
    frame->addWidget(scroll);
    buildServiceGroups();
    placeMotionPanel();
    placeSoundControls();
    buildFirmwareButton();

    auto port = std::make_unique<ComPort>(this);
    port->setObjectName(QStringLiteral("serialPort"));
    port->setBaud(Define::LINK_BAUD);
    port->setReceiveMode(rmRAW);
    port->SetTerminator(QStringLiteral("#13"));
    m_board->setPort(std::move(port));
    connectLink();
    buildConnectionCheck();
    connectHandlers();
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

QLineEdit* SetupWindow::edit(const QString& name) const
{
    return m_edits.value(name);
}

QString SetupWindow::editText(const QString& name) const
{
    const QLineEdit* e = edit(name);
    return e ? e->text() : QString();
}

void SetupWindow::buildHeader(QVBoxLayout* top)
{
    auto* header = new QHBoxLayout;
    top->addLayout(header);

    // Release and serial number, on a dark band so they read at a glance.
    identityBand = named(new QFrame(this), "identityBand", QStringLiteral("Board identity"));
    identityBand->setAutoFillBackground(true);
    QPalette band = identityBand->palette();
    band.setColor(QPalette::Window, HEADER_COLOUR);
    band.setColor(QPalette::WindowText, HEADER_TEXT_COLOUR);
    identityBand->setPalette(band);
    auto* identity = new QGridLayout(identityBand);
    releaseCaption = named(caption(QStringLiteral("Release n."), identityBand), "releaseCaption", QStringLiteral("Release caption"));
    releaseNumber = valueLabel("releaseNumber", QStringLiteral("Firmware release"), identityBand);
    serialCaption = named(caption(QStringLiteral("Serial N."), identityBand), "serialCaption",
                    QStringLiteral("Serial number caption"));
    serialNumber = valueLabel("serialNumber", QStringLiteral("Serial number"), identityBand);
    for (QLabel* value : {releaseNumber, serialNumber}) {
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    identity->addWidget(releaseCaption, 0, 0);
    identity->addWidget(releaseNumber, 0, 1);
    identity->addWidget(serialCaption, 1, 0);
    identity->addWidget(serialNumber, 1, 1);
    writeSerialButton =
        named(new QPushButton(QStringLiteral("WriteSN"), identityBand), "writeSerialButton", QStringLiteral("WriteSN"));
    identity->addWidget(writeSerialButton, 0, 2, 2, 1);
    header->addWidget(identityBand);

    // Port panel.
    portFrame = named(new QFrame(this), "portFrame", QStringLiteral("Serial port"));
    portFrame->setFrameShape(QFrame::StyledPanel);
    auto* portRow = new QHBoxLayout(portFrame);
    auto* usb = caption(QStringLiteral("USB"), portFrame);
    auto* list = named(new PortComboBox(portFrame), "portList", QStringLiteral("Serial port"));
    connect(list, &PortComboBox::aboutToShowPopup, this, [this] { refreshPortList(); });
    portList = list;
    portList->setMinimumWidth(PORT_LIST_MIN_WIDTH);
    usb->setBuddy(portList);
    portOpenIndicator = named(new Shape(portFrame), "portOpenIndicator", QStringLiteral("Port open indicator"));
    portOpenIndicator->setFixedSize(INDICATOR_SIZE, INDICATOR_SIZE);
    portOpenIndicator->setBrushColor(PORT_CLOSED_COLOUR);
    openButton =
        named(new QPushButton(QStringLiteral("Open "), portFrame), "openButton", QStringLiteral("Open port"));
    closeButton = named(new QPushButton(QStringLiteral("Close "), portFrame), "closeButton",
                        QStringLiteral("Close port"));
    portRow->addWidget(usb);
    portRow->addWidget(portList, 1);
    portRow->addWidget(portOpenIndicator);
    portRow->addWidget(openButton);
    portRow->addWidget(closeButton);
    header->addWidget(portFrame, 1);

    // Board status.
    modeBox = named(new QGroupBox(QStringLiteral("Tavrin Status"), this), "modeBox",
                      QStringLiteral("Tavrin Status"));
    auto* status = new QHBoxLayout(modeBox);
    activeModeButton = named(new QRadioButton(QStringLiteral("Active"), modeBox), "activeModeButton",
                          QStringLiteral("Active"));
    setUpModeButton =
        named(new QRadioButton(QStringLiteral("SetUp"), modeBox), "setUpModeButton", QStringLiteral("SetUp"));
    txModeButton =
        named(new QRadioButton(QStringLiteral("TX"), modeBox), "txModeButton", QStringLiteral("TX"));
    for (QRadioButton* b : {activeModeButton, setUpModeButton, txModeButton})
        status->addWidget(b);
    activeModeButton->setChecked(true);
    header->addWidget(modeBox);

    header->addWidget(m_motion->batteryBox);
}

void SetupWindow::buildParametersTab()
{
    pages = named(new QTabWidget(this), "pages", QStringLiteral("Pages"));
    auto* page = new QWidget(pages);
    page->setObjectName(QStringLiteral("Parameters"));
    pages->addTab(page, QStringLiteral("Parameters"));
    auto* columns = new QHBoxLayout(page);

    parameterGroup = named(new QGroupBox(page), "parameterGroup", QStringLiteral("Parameters"));
    auto* group = new QVBoxLayout(parameterGroup);
    auto* actions = new QHBoxLayout;
    readParametersButton = named(new QPushButton(QStringLiteral("Read Parameters"), parameterGroup), "readParametersButton",
                         QStringLiteral("Read Parameters"));
    writeParametersButton = named(new QPushButton(QStringLiteral("Write Parameters"), parameterGroup), "writeParametersButton",
                         QStringLiteral("Write Parameters"));
    verifyParametersButton = named(new QPushButton(QStringLiteral("Verify"), parameterGroup), "verifyParametersButton",
                             QStringLiteral("Verify the board's parameters against the screen"));
    saveParametersButton = named(new QPushButton(QStringLiteral("Save..."), parameterGroup), "saveParametersButton",
                           QStringLiteral("Save the parameters to a file"));
    loadParametersButton = named(new QPushButton(QStringLiteral("Load..."), parameterGroup), "loadParametersButton",
                           QStringLiteral("Load parameters from a file"));
    actions->addWidget(readParametersButton);
    actions->addWidget(writeParametersButton);
    actions->addWidget(verifyParametersButton);
    actions->addWidget(saveParametersButton);
    actions->addWidget(loadParametersButton);
    actions->addStretch();
    group->addLayout(actions);

    // One default-bank button above each bank's rows.
    defaultBank1Button =
        named(new QRadioButton(QStringLiteral("Bank1"), parameterGroup), "defaultBank1Button", QStringLiteral("Default bank 1"));
    defaultBank2Button =
        named(new QRadioButton(QStringLiteral("Bank2"), parameterGroup), "defaultBank2Button", QStringLiteral("Default bank 2"));
    defaultBank3Button =
        named(new QRadioButton(QStringLiteral("Bank3"), parameterGroup), "defaultBank3Button", QStringLiteral("Default bank 3"));
    defaultBank1Button->setChecked(true);
    m_setUpControls = {readParametersButton, writeParametersButton, verifyParametersButton};
    buildParameterScreen(group);
    watchUserValues();
    group->addStretch();

    columns->addWidget(parameterGroup, 1);
    sideColumn = new QVBoxLayout;
    columns->addLayout(sideColumn);
    m_sounds = new SoundPanel(*m_board, [this](Operation* operation) { return RunOperation(operation); }, page);
    sideColumn->addWidget(m_sounds, SOUND_BROWSER_STRETCH);

    for (QWidget* control : m_setUpControls)
        control->setEnabled(false);
}

void SetupWindow::buildServiceGroups()
{
    factoryTestBox =
        named(new QGroupBox(QStringLiteral("Collaudo"), this), "factoryTestBox", QStringLiteral("Collaudo"));
    auto* collaudo = new QHBoxLayout(factoryTestBox);
    serialLot = valueLabel("serialLot", QStringLiteral("Serial number, lot"), factoryTestBox);
    serialRunningNumber = valueLabel("serialRunningNumber", QStringLiteral("Serial number, running serial"), factoryTestBox);
    oldSerialNumber = valueLabel("oldSerialNumber", QStringLiteral("Old-format serial number"), factoryTestBox);
    for (QLabel* l : {serialLot, serialRunningNumber, oldSerialNumber})
        collaudo->addWidget(l);
    flashServiceBox =
        named(new QGroupBox(QStringLiteral("Flash App."), this), "flashServiceBox", QStringLiteral("Flash App."));
    bootServiceBox =
        named(new QGroupBox(QStringLiteral("Boot App."), this), "bootServiceBox", QStringLiteral("Boot App."));
    for (QGroupBox* g : {factoryTestBox, flashServiceBox, bootServiceBox})
        g->hide();
}

void SetupWindow::connectHandlers()
{
    connectHandler(openButton, &QPushButton::clicked, this, [this] { openPort(); });
    connectHandler(closeButton, &QPushButton::clicked, this, [this] { closePort(); });
    connectHandler(readParametersButton, &QPushButton::clicked, this, [this] { readParameters(); });
    connectHandler(writeParametersButton, &QPushButton::clicked, this, [this] { writeParameters(); });
    connectHandler(saveParametersButton, &QPushButton::clicked, this, [this] { saveParameters(); });
    connectHandler(loadParametersButton, &QPushButton::clicked, this, [this] { loadParameters(); });
    connectHandler(verifyParametersButton, &QPushButton::clicked, this, [this] { verifyParameters(); });
    // Radio buttons act when they become selected, by the user or by the program,
    // never when an already selected button is selected again.
    const std::pair<QRadioButton*, void (SetupWindow::*)()> selections[] = {
        {activeModeButton, &SetupWindow::activeModeChosen},
        {setUpModeButton, &SetupWindow::setUpModeChosen},
        {txModeButton, &SetupWindow::txModeChosen},
        {defaultBank1Button, &SetupWindow::defaultBank1Chosen},
        {defaultBank2Button, &SetupWindow::defaultBank2Chosen},
        {defaultBank3Button, &SetupWindow::defaultBank3Chosen}};
    for (const auto& [button, handler] : selections)
        connect(button, &QRadioButton::toggled, this, [this, handler = handler](bool on) {
            if (on)
                (this->*handler)();
        });
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
        const QMenu* slotMenu = m_sounds->slotControls()->slotMenu;
        QList<QAction*> actions = slotMenu->actions();
        for (QMenu* bank : slotMenu->findChildren<QMenu*>())
            actions += bank->actions();
        if (mainWindow)
            actions += {mainWindow->openSetupAction, mainWindow->updateFirmwareAction};
        m_busyLock->lock({this}, {saveParametersButton, m_motion->recordButton, static_cast<QWidget*>(m_motion->gyroCheck)}, actions);
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

void SetupWindow::closeEvent(QCloseEvent* event)
{
    windowClosing();
    event->accept();
}

void SetupWindow::placeMotionPanel()
{
    sideColumn->addWidget(m_motion, MOTION_PANEL_STRETCH);
    for (QPushButton* button : {m_motion->autoCalibrationButton, m_motion->manualCalibrationButton})
        calibrationBox->layout()->addWidget(button);
    const auto show = [](QLineEdit* field, const QString& text) {
        field->setText(text);
        field->repaint();
    };
    connect(m_motion, &MotionPanel::verticalMeasured, this, [this, show](const QString& text) { show(verticalCalibration, text); });
    connect(m_motion, &MotionPanel::horizontalMeasured, this, [this, show](const QString& text) { show(horizontalCalibration, text); });
    connect(m_motion, &MotionPanel::txModeWanted, this, [this] {
        // Selecting runs the TX handler when TX was not selected; the direct
        // call then sends the mode once more.
        SelectRadioButton(txModeButton);
        txModeChosen();
    });
}

void SetupWindow::placeSoundControls()
{
    const SlotControls* controls = m_sounds->slotControls();
    for (int r = 0; r < rowPanels.size(); ++r)
        for (QWidget* widget : controls->rowWidgets(r))
            rowPanels[r]->layout()->addWidget(widget);
    qobject_cast<QBoxLayout*>(parameterGroup->layout())->insertWidget(1, controls->actionRow());
    connect(m_sounds, &SoundPanel::trafficMonitorWanted, this, [this] {
        trafficMonitor->show();
        trafficMonitor->raise();
        resize(width() + MONITOR_WIDENING, height());
    });
}
