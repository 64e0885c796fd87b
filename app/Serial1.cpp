// Builds the set-up window's controls. Behaviour lives with the subsystems.
#include "app/Serial1.h"

#include "app/BusyLock.h"
#include "firmware/Boot.h"
#include "app/Forms.h"
#include "app/Main.h"
#include "app/PortComboBox.h"
#include "app/ScreenCentre.h"
#include "app/Shape.h"
#include "comm/ComPort.h"
#include "comm/BoardLink.h"
#include "motion/TelemetryRecorder.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Media.h"
#include "common/ValueLabel.h"
#include "motion/TelemetryRecorder.h"
#include "common/Dialogs.h"
#include "common/Handlers.h"
#include "sound/BoardJournal.h"

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
const QColor PORT_CLOSED_COLOUR(128, 128, 128);
const QColor HEADER_COLOUR(43, 52, 64);
const QColor HEADER_TEXT_COLOUR(230, 234, 238);

template <typename W> W* named(W* widget, const char* name, const QString& accessible)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessible);
    return widget;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

ValueLabel* valueLabel(const char* name, const QString& caption, QWidget* parent)
{
    auto* label = new ValueLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
} // namespace

TSerialForm1::TSerialForm1(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , Link(new BoardLink(this))
    , m_busyLock(new BusyLock(this))
    , m_decoder(std::make_unique<Params::ParameterDecoder>())
{
    setObjectName(QStringLiteral("SerialForm1"));
    setWindowTitle(QStringLiteral("SetUp Kordex"));

    // The client area scrolls, so a screen smaller than the layout shows all of it.
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    auto* scroll = named(new QScrollArea(this), "ClientArea", QStringLiteral("Set-up window"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    m_client = new QWidget(scroll);
    auto* top = new QVBoxLayout(m_client);
    buildHeader(top);
    buildParametersTab();
    buildSoundBrowser();
    top->addWidget(PageControl1, 1);
    scroll->setWidget(m_client);
    frame->addWidget(scroll);
    buildHiddenGroups();
    buildMotionControls();
    buildTelemetryRecording();
    buildSoundControls();
    buildFirmwareControls();
    Journal = new Sound::BoardJournal([this] { return BoardSerial(); }, {}, this);
    // A board not read yet is no fault of the operation: a note, not a message
    // after every upload.
    connect(Journal, &Sound::BoardJournal::unknownBoard, this, &TSerialForm1::showJournalNote);
    connect(Journal, &Sound::BoardJournal::notRecorded, this, [](const QString& why) { ShowMessageWhenSettled(why); });

    auto port = std::make_unique<TComPort>(this);
    port->setObjectName(QStringLiteral("ComPort1"));
    port->setBaud(Define::LINK_BAUD);
    port->setReceiveMode(rmRAW);
    port->SetTerminator(QStringLiteral("#13"));
    setComPort(std::move(port));
    connectLink();
    buildConnectionCheck();
    connectHandlers();
}

TSerialForm1::~TSerialForm1()
{
    // The port's events go first, so none reaches a half-destroyed window.
    if (ComPort1) {
        ComPort1->OnPortOpen = nullptr;
        ComPort1->OnPortClose = nullptr;
        ComPort1->OnError = nullptr;
    }
    delete Link;
}

void TSerialForm1::setComPort(std::unique_ptr<SerialPort> port)
{
    Link->setPort(std::move(port));
    ComPort1 = Link->port();
    ComPort1->OnPortOpen = [this](QObject*) { ComPort1PortOpen(); };
    ComPort1->OnPortClose = [this](QObject*) { ComPort1PortClose(); };
    ComPort1->OnError = [this](QObject*) { ComPort1Error(); };
}

QLineEdit* TSerialForm1::edit(const QString& name) const
{
    return m_edits.value(name);
}

QString TSerialForm1::editText(const QString& name) const
{
    const QLineEdit* e = edit(name);
    return e ? e->text() : QString();
}

void TSerialForm1::buildHeader(QVBoxLayout* top)
{
    auto* header = new QHBoxLayout;
    top->addLayout(header);

    // Release and serial number, on a dark band so they read at a glance.
    Panel1 = named(new QFrame(this), "Panel1", QStringLiteral("Board identity"));
    Panel1->setAutoFillBackground(true);
    QPalette band = Panel1->palette();
    band.setColor(QPalette::Window, HEADER_COLOUR);
    band.setColor(QPalette::WindowText, HEADER_TEXT_COLOUR);
    Panel1->setPalette(band);
    auto* identity = new QGridLayout(Panel1);
    Verlb = named(caption(QStringLiteral("Release n."), Panel1), "Verlb", QStringLiteral("Release caption"));
    Label1 = valueLabel("Label1", QStringLiteral("Firmware release"), Panel1);
    Label42 = named(caption(QStringLiteral("Serial N."), Panel1), "Label42",
                    QStringLiteral("Serial number caption"));
    Label21 = valueLabel("Label21", QStringLiteral("Serial number"), Panel1);
    for (QLabel* value : {Label1, Label21}) {
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    identity->addWidget(Verlb, 0, 0);
    identity->addWidget(Label1, 0, 1);
    identity->addWidget(Label42, 1, 0);
    identity->addWidget(Label21, 1, 1);
    Button10 =
        named(new QPushButton(QStringLiteral("WriteSN"), Panel1), "Button10", QStringLiteral("WriteSN"));
    identity->addWidget(Button10, 0, 2, 2, 1);
    header->addWidget(Panel1);

    // Port panel.
    Panel23 = named(new QFrame(this), "Panel23", QStringLiteral("Serial port"));
    Panel23->setFrameShape(QFrame::StyledPanel);
    auto* portRow = new QHBoxLayout(Panel23);
    auto* usb = caption(QStringLiteral("USB"), Panel23);
    auto* portList = named(new PortComboBox(Panel23), "cbports", QStringLiteral("Serial port"));
    connect(portList, &PortComboBox::aboutToShowPopup, this, [this] { RefreshPortList(); });
    cbports = portList;
    cbports->setMinimumWidth(PORT_LIST_MIN_WIDTH);
    usb->setBuddy(cbports);
    shPortOpen = named(new Shape(Panel23), "shPortOpen", QStringLiteral("Port open indicator"));
    shPortOpen->setFixedSize(INDICATOR_SIZE, INDICATOR_SIZE);
    shPortOpen->setBrushColor(PORT_CLOSED_COLOUR);
    OpenButton =
        named(new QPushButton(QStringLiteral("Open "), Panel23), "OpenButton", QStringLiteral("Open port"));
    CloseButton = named(new QPushButton(QStringLiteral("Close "), Panel23), "CloseButton",
                        QStringLiteral("Close port"));
    portRow->addWidget(usb);
    portRow->addWidget(cbports, 1);
    portRow->addWidget(shPortOpen);
    portRow->addWidget(OpenButton);
    portRow->addWidget(CloseButton);
    header->addWidget(Panel23, 1);

    // Board status.
    GroupBox5 = named(new QGroupBox(QStringLiteral("Tavrin Status"), this), "GroupBox5",
                      QStringLiteral("Tavrin Status"));
    auto* status = new QHBoxLayout(GroupBox5);
    RadioButton10 = named(new QRadioButton(QStringLiteral("Active"), GroupBox5), "RadioButton10",
                          QStringLiteral("Active"));
    RadioButton9 =
        named(new QRadioButton(QStringLiteral("SetUp"), GroupBox5), "RadioButton9", QStringLiteral("SetUp"));
    RadioButton13 =
        named(new QRadioButton(QStringLiteral("TX"), GroupBox5), "RadioButton13", QStringLiteral("TX"));
    for (QRadioButton* b : {RadioButton10, RadioButton9, RadioButton13})
        status->addWidget(b);
    RadioButton10->setChecked(true);
    header->addWidget(GroupBox5);

    // Battery bar: its width follows the battery reading.
    Shape2 = named(new Shape(this), "Shape2", QStringLiteral("Battery level"));
    Shape2->setFixedHeight(INDICATOR_SIZE);
    header->addWidget(Shape2, 0, Qt::AlignVCenter);
}

void TSerialForm1::buildParametersTab()
{
    PageControl1 = named(new QTabWidget(this), "PageControl1", QStringLiteral("Pages"));
    auto* page = new QWidget(PageControl1);
    page->setObjectName(QStringLiteral("Parameters"));
    PageControl1->addTab(page, QStringLiteral("Parameters"));
    auto* columns = new QHBoxLayout(page);

    GroupBox2 = named(new QGroupBox(page), "GroupBox2", QStringLiteral("Parameters"));
    auto* group = new QVBoxLayout(GroupBox2);
    auto* actions = new QHBoxLayout;
    SpeedButton4 = named(new QPushButton(QStringLiteral("Read Parameters"), GroupBox2), "SpeedButton4",
                         QStringLiteral("Read Parameters"));
    SpeedButton5 = named(new QPushButton(QStringLiteral("Write Parameters"), GroupBox2), "SpeedButton5",
                         QStringLiteral("Write Parameters"));
    VerifyParameters = named(new QPushButton(QStringLiteral("Verify"), GroupBox2), "VerifyParameters",
                             QStringLiteral("Verify the board's parameters against the screen"));
    SaveParameters = named(new QPushButton(QStringLiteral("Save..."), GroupBox2), "SaveParameters",
                           QStringLiteral("Save the parameters to a file"));
    LoadParameters = named(new QPushButton(QStringLiteral("Load..."), GroupBox2), "LoadParameters",
                           QStringLiteral("Load parameters from a file"));
    actions->addWidget(SpeedButton4);
    actions->addWidget(SpeedButton5);
    actions->addWidget(VerifyParameters);
    actions->addWidget(SaveParameters);
    actions->addWidget(LoadParameters);
    actions->addStretch();
    group->addLayout(actions);

    // One default-bank button above each bank's rows.
    Def1 =
        named(new QRadioButton(QStringLiteral("Bank1"), GroupBox2), "Def1", QStringLiteral("Default bank 1"));
    Def2 =
        named(new QRadioButton(QStringLiteral("Bank2"), GroupBox2), "Def2", QStringLiteral("Default bank 2"));
    Def3 =
        named(new QRadioButton(QStringLiteral("Bank3"), GroupBox2), "Def3", QStringLiteral("Default bank 3"));
    Def1->setChecked(true);
    SetupControls = {SpeedButton4, SpeedButton5, VerifyParameters};
    buildParameterScreen(group);
    watchUserValues();
    group->addStretch();

    columns->addWidget(GroupBox2, 1);
    SidePanel = new QVBoxLayout;
    columns->addLayout(SidePanel);
    auto* files = caption(QStringLiteral("Sound files"), page);
    FileListBox1 = named(new QListWidget(page), "FileListBox1", QStringLiteral("Sound files"));
    files->setBuddy(FileListBox1);
    FileListBox1->installEventFilter(this);
    SidePanel->addWidget(files);
    SidePanel->addWidget(FileListBox1, 1);

    for (QWidget* control : SetupControls)
        control->setEnabled(false);
}

void TSerialForm1::buildHiddenGroups()
{
    GroupBox1 =
        named(new QGroupBox(QStringLiteral("Collaudo"), this), "GroupBox1", QStringLiteral("Collaudo"));
    auto* collaudo = new QHBoxLayout(GroupBox1);
    Label14 = valueLabel("Label14", QStringLiteral("Serial number, lot"), GroupBox1);
    Label43 = valueLabel("Label43", QStringLiteral("Serial number, running serial"), GroupBox1);
    SN_OLD = valueLabel("SN_OLD", QStringLiteral("Old-format serial number"), GroupBox1);
    for (QLabel* l : {Label14, Label43, SN_OLD})
        collaudo->addWidget(l);
    GroupBox3 =
        named(new QGroupBox(QStringLiteral("Flash App."), this), "GroupBox3", QStringLiteral("Flash App."));
    GroupBox4 =
        named(new QGroupBox(QStringLiteral("Boot App."), this), "GroupBox4", QStringLiteral("Boot App."));
    for (QGroupBox* g : {GroupBox1, GroupBox3, GroupBox4})
        g->hide();
}

void TSerialForm1::connectHandlers()
{
    connectHandler(OpenButton, &QPushButton::clicked, this, [this] { OpenPort(); });
    connectHandler(CloseButton, &QPushButton::clicked, this, [this] { ClosePort(); });
    connectHandler(SpeedButton4, &QPushButton::clicked, this, [this] { ReadBtnClick(); });
    connectHandler(SpeedButton5, &QPushButton::clicked, this, [this] { SpeedButton5Click(); });
    connectHandler(SaveParameters, &QPushButton::clicked, this, [this] { SaveParametersClick(); });
    connectHandler(LoadParameters, &QPushButton::clicked, this, [this] { LoadParametersClick(); });
    connectHandler(VerifyParameters, &QPushButton::clicked, this, [this] { VerifyParametersClick(); });
    // Radio buttons act when they become selected, by the user or by the program,
    // never when an already selected button is selected again.
    const std::pair<QRadioButton*, void (TSerialForm1::*)()> selections[] = {
        {RadioButton10, &TSerialForm1::RadioButton10Click},
        {RadioButton9, &TSerialForm1::RadioButton9Click},
        {RadioButton13, &TSerialForm1::RadioButton13Click},
        {Def1, &TSerialForm1::Def1Click},
        {Def2, &TSerialForm1::Def2Click},
        {Def3, &TSerialForm1::Def3Click}};
    for (const auto& [button, handler] : selections)
        connect(button, &QRadioButton::toggled, this, [this, handler = handler](bool on) {
            if (on)
                (this->*handler)();
        });
}

bool TSerialForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FileListBox1 && event->type() == QEvent::KeyPress)
        FileListBox1KeyDown(static_cast<QKeyEvent*>(event)->key());
    if (watched == BootForm && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        updateLock();
    return QWidget::eventFilter(watched, event);
}

void TSerialForm1::updateLock()
{
    // Whatever could send, change the port or change a running operation's input
    // is off while an operation holds the link or the board is on its loader (the
    // firmware window owns it then); viewing stays live.
    if (Link->busy() || BoardOnLoader()) {
        QList<QAction*> actions = PopupMenu1->actions();
        for (QMenu* bank : PopupMenu1->findChildren<QMenu*>())
            actions += bank->actions();
        if (MainForm)
            actions += {MainForm->Serial1, MainForm->UpdateFirmware1};
        m_busyLock->lock({this}, {SaveParameters, RecordButton, static_cast<QWidget*>(Acccheck)}, actions);
        return;
    }
    // Work that ran meanwhile (calibration going to TX, the port closed and
    // opened again) has left each control as it asked for.
    m_busyLock->unlock();
}

void TSerialForm1::showEvent(QShowEvent* event)
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
    FormShow();
}

void TSerialForm1::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}
