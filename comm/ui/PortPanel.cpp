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

PortPanel::PortPanel(Params::Board& board, Hooks hooks, ProgressView progressView, QWidget* parent)
    : BoardPanel(board, parent)
    , m_hooks(std::move(hooks))
    , m_progressView(std::move(progressView))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    buildPortFrame();
    buildModeBox();
    row->addWidget(m_portFrame, 1);
    row->addWidget(m_modeBox);
    buildConnectionCheck();
    connectBoard();
}

void PortPanel::buildPortFrame()
{
    m_portFrame = named(new QFrame(this), "portFrame", QStringLiteral("Serial port"));
    m_portFrame->setFrameShape(QFrame::StyledPanel);
    auto* portRow = new QHBoxLayout(m_portFrame);
    auto* usb = new QLabel(QStringLiteral("USB"), m_portFrame);
    auto* list = named(new PortComboBox(m_portFrame), "portList", QStringLiteral("Serial port"));
    connect(list, &PortComboBox::aboutToShowPopup, this, [this] { refreshPortList(); });
    m_portList = list;
    m_portList->setMinimumWidth(PORT_LIST_MIN_WIDTH);
    usb->setBuddy(m_portList);
    m_portOpenIndicator =
        named(new Shape(m_portFrame), "portOpenIndicator", QStringLiteral("Port open indicator"));
    m_portOpenIndicator->setFixedSize(INDICATOR_SIZE, INDICATOR_SIZE);
    m_portOpenIndicator->setBrushColor(PORT_CLOSED_COLOUR);
    m_openButton = named(new QPushButton(QStringLiteral("Open "), m_portFrame), "openButton",
                         QStringLiteral("Open port"));
    m_closeButton = named(new QPushButton(QStringLiteral("Close "), m_portFrame), "closeButton",
                          QStringLiteral("Close port"));
    portRow->addWidget(usb);
    portRow->addWidget(m_portList, 1);
    portRow->addWidget(m_portOpenIndicator);
    portRow->addWidget(m_openButton);
    portRow->addWidget(m_closeButton);
    connectHandler(m_openButton, &QPushButton::clicked, this, [this] { openPort(); });
    connectHandler(m_closeButton, &QPushButton::clicked, this, [this] { closePort(); });
}

void PortPanel::buildModeBox()
{
    m_modeBox = named(new QGroupBox(QStringLiteral("Tavrin Status"), this), "modeBox",
                      QStringLiteral("Tavrin Status"));
    auto* status = new QHBoxLayout(m_modeBox);
    m_activeModeButton = named(new QRadioButton(QStringLiteral("Active"), m_modeBox), "activeModeButton",
                               QStringLiteral("Active"));
    m_setUpModeButton = named(new QRadioButton(QStringLiteral("SetUp"), m_modeBox), "setUpModeButton",
                              QStringLiteral("SetUp"));
    m_txModeButton =
        named(new QRadioButton(QStringLiteral("TX"), m_modeBox), "txModeButton", QStringLiteral("TX"));
    for (QRadioButton* b : {m_activeModeButton, m_setUpModeButton, m_txModeButton})
        status->addWidget(b);
    m_activeModeButton->setChecked(true);
    connectSelected(m_activeModeButton, this, [this] { activeModeChosen(); });
    connectSelected(m_setUpModeButton, this, [this] { setUpModeChosen(); });
    connectSelected(m_txModeButton, this, [this] { txModeChosen(); });
}

void PortPanel::connectBoard()
{
    connect(board().link(), &BoardLink::portLost, this, [this] { deviceLost(); });
    connect(&board(), &Params::Board::portOpened, this,
            [this] { m_portOpenIndicator->setBrushColor(PORT_OPEN_COLOUR); });
    connect(&board(), &Params::Board::portClosed, this,
            [this] { m_portOpenIndicator->setBrushColor(PORT_CLOSED_COLOUR); });
    // A status reply selects its button as a click would.
    connect(&board(), &Params::Board::decoded, this, [this](const Params::DecoderEffect& effect) {
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
    const Mode mode = button == m_setUpModeButton ? Mode::SetUp
                      : button == m_txModeButton  ? Mode::Tx
                                                  : Mode::Active;
    board().sendMode(mode);
    board().setSetUpMode(mode == Mode::SetUp);
    emit modeEntered(mode);
}

QRadioButton* PortPanel::modeButton(Params::Board::Mode mode) const
{
    using Mode = Params::Board::Mode;
    return mode == Mode::SetUp ? m_setUpModeButton : mode == Mode::Tx ? m_txModeButton : m_activeModeButton;
}

void PortPanel::chooseMode(Params::Board::Mode mode)
{
    // Selecting runs the handler only for a button not yet selected; the direct
    // call sends the mode once more.
    QRadioButton* button = modeButton(mode);
    SelectRadioButton(button);
    modeClicked(button);
}

void PortPanel::activeModeChosen()
{
    modeClicked(m_activeModeButton);
}

void PortPanel::setUpModeChosen()
{
    modeClicked(m_setUpModeButton);
}

void PortPanel::txModeChosen()
{
    modeClicked(m_txModeButton);
}
