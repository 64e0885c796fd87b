// Builds the port panel and follows the board: the indicator shows whether the
// port is open, a decoded status reply selects its button, a lost port ends the
// connection. The status buttons send the board's mode.
#include "comm/ui/PortPanel.h"

#include "app/Shape.h"
#include "comm/BoardLink.h"
#include "comm/ui/PortComboBox.h"
#include "common/ui/Handlers.h"
#include "common/ui/Named.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int INDICATOR_SIZE = 16;
constexpr int PORT_LIST_MIN_WIDTH = 220;
const QColor PORT_OPEN_COLOUR(255, 255, 0);
const QColor PORT_CLOSED_COLOUR(128, 128, 128);
} // namespace

PortPanel::PortPanel(Params::Board& board, Hooks hooks, QWidget* parent)
    : QWidget(parent)
    , m_board(board)
    , m_hooks(std::move(hooks))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    buildPortFrame();
    buildModeBox();
    row->addWidget(portFrame, 1);
    row->addWidget(modeBox);
    buildConnectionCheck();
    connectBoard();
}

void PortPanel::buildPortFrame()
{
    portFrame = named(new QFrame(this), "portFrame", QStringLiteral("Serial port"));
    portFrame->setFrameShape(QFrame::StyledPanel);
    auto* portRow = new QHBoxLayout(portFrame);
    auto* usb = new QLabel(QStringLiteral("USB"), portFrame);
    auto* list = named(new PortComboBox(portFrame), "portList", QStringLiteral("Serial port"));
    connect(list, &PortComboBox::aboutToShowPopup, this, [this] { refreshPortList(); });
    portList = list;
    portList->setMinimumWidth(PORT_LIST_MIN_WIDTH);
    usb->setBuddy(portList);
    portOpenIndicator = named(new Shape(portFrame), "portOpenIndicator", QStringLiteral("Port open indicator"));
    portOpenIndicator->setFixedSize(INDICATOR_SIZE, INDICATOR_SIZE);
    portOpenIndicator->setBrushColor(PORT_CLOSED_COLOUR);
    openButton = named(new QPushButton(QStringLiteral("Open "), portFrame), "openButton", QStringLiteral("Open port"));
    closeButton =
        named(new QPushButton(QStringLiteral("Close "), portFrame), "closeButton", QStringLiteral("Close port"));
    portRow->addWidget(usb);
    portRow->addWidget(portList, 1);
    portRow->addWidget(portOpenIndicator);
    portRow->addWidget(openButton);
    portRow->addWidget(closeButton);
    connectHandler(openButton, &QPushButton::clicked, this, [this] { openPort(); });
    connectHandler(closeButton, &QPushButton::clicked, this, [this] { closePort(); });
}

void PortPanel::buildModeBox()
{
    modeBox = named(new QGroupBox(QStringLiteral("Tavrin Status"), this), "modeBox", QStringLiteral("Tavrin Status"));
    auto* status = new QHBoxLayout(modeBox);
    activeModeButton =
        named(new QRadioButton(QStringLiteral("Active"), modeBox), "activeModeButton", QStringLiteral("Active"));
    setUpModeButton =
        named(new QRadioButton(QStringLiteral("SetUp"), modeBox), "setUpModeButton", QStringLiteral("SetUp"));
    txModeButton = named(new QRadioButton(QStringLiteral("TX"), modeBox), "txModeButton", QStringLiteral("TX"));
    for (QRadioButton* b : {activeModeButton, setUpModeButton, txModeButton})
        status->addWidget(b);
    activeModeButton->setChecked(true);
    connectSelected(activeModeButton, this, [this] { activeModeChosen(); });
    connectSelected(setUpModeButton, this, [this] { setUpModeChosen(); });
    connectSelected(txModeButton, this, [this] { txModeChosen(); });
}

void PortPanel::connectBoard()
{
    connect(m_board.link(), &BoardLink::portLost, this, [this] { deviceLost(); });
    connect(&m_board, &Params::Board::portOpened, this, [this] { portOpenIndicator->setBrushColor(PORT_OPEN_COLOUR); });
    connect(&m_board, &Params::Board::portClosed, this,
            [this] { portOpenIndicator->setBrushColor(PORT_CLOSED_COLOUR); });
    // A status reply selects its button as a click would.
    connect(&m_board, &Params::Board::decoded, this, [this](const Params::DecoderEffect& effect) {
        if (effect.kind != Params::DecoderEffect::Kind::SelectRadio)
            return;
        if (auto* button = findChild<QRadioButton*>(effect.control))
            SelectRadioButton(button);
    });
}

void PortPanel::modeClicked(QRadioButton* button)
{
    if (!m_hooks.portInUse())
        return;
    if (!button->isChecked())
        return;
    using Mode = Params::Board::Mode;
    const Mode mode = button == setUpModeButton ? Mode::SetUp : button == txModeButton ? Mode::Tx : Mode::Active;
    m_board.sendMode(mode);
    m_board.setSetUpMode(mode == Mode::SetUp);
    emit modeEntered(mode);
}

void PortPanel::activeModeChosen()
{
    modeClicked(activeModeButton);
}

void PortPanel::setUpModeChosen()
{
    modeClicked(setUpModeButton);
}

void PortPanel::txModeChosen()
{
    modeClicked(txModeButton);
}
