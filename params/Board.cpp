#include "params/Board.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "params/ParameterWriteOperation.h"
#include "params/ReadSweep.h"

#include <QScopedValueRollback>

namespace Params {

namespace {
int statusOf(Board::Mode mode)
{
    switch (mode) {
    case Board::Mode::Active:
        return Define::STATO_TAVRIN_ACTIVE;
    case Board::Mode::SetUp:
        return Define::STATO_TAVRIN_COMMAND_MODE_NOTX;
    case Board::Mode::Tx:
        return Define::STATO_TAVRIN_COMMAND_MODE_TX;
    }
    return Define::STATO_TAVRIN_ACTIVE;
}
} // namespace

Board::Board(QObject* parent)
    : QObject(parent)
    , m_link(new BoardLink(this))
{
    connect(m_link, &BoardLink::parameterReply, this, [this](const QByteArray& block) { decode(block); });
    m_model.follow(*m_link, this);
    m_shown.follow(*m_link, this);
}

Board::~Board()
{
    // The port's events go first, so none reaches a half-destroyed window; the
    // link goes before the operations this board owns, which let go of it then.
    if (SerialPort* port = serialPort()) {
        port->OnPortOpen = nullptr;
        port->OnPortClose = nullptr;
    }
    delete m_link;
}

SerialPort* Board::serialPort() const
{
    return m_link->port();
}

void Board::setPort(std::unique_ptr<SerialPort> port)
{
    m_link->setPort(std::move(port));
    serialPort()->OnPortOpen = [this](QObject*) {
        m_link->resetReceiving();
        emit portOpened();
    };
    serialPort()->OnPortClose = [this](QObject*) {
        m_link->resetReceiving();
        emit portClosed();
    };
}

void Board::forget()
{
    m_model = BoardModel();
    emit forgotten();
}

void Board::decode(const QByteArray& block)
{
    const QScopedValueRollback decoding(m_decoding, true);
    m_shown.receive(block);
    for (const DecoderEffect& effect : m_model.receive(block)) {
        if (effect.kind == DecoderEffect::Kind::SetReady)
            READY = 1;
        emit decoded(effect);
    }
}

void Board::sendMode(Mode mode)
{
    m_link->sendCommand(ParameterWriteFrame(Define::ADDR_STATO_TAVRIN, statusOf(mode)));
}

void Board::writeDefaultBank(int bank)
{
    m_link->sendCommand(ParameterWriteFrame(Define::ADDR_BANK, bank));
}

void Board::writeValue(int value, int address)
{
    if (m_link->sendFrame(ParameterWriteFrame(address, value)))
        Sleep(Define::WRITE_PAUSE_MS);
}

ReadSweep* Board::track(ReadSweep* sweep, bool replacesAll)
{
    if (replacesAll) {
        emit readStarting();
        m_model.readStarting();
    }
    // Taken before whoever started the read disposes of it.
    connect(sweep, &Operation::finished, this, [this, sweep] {
        m_model.readEnded(sweep->addresses(), sweep->unanswered());
        emit readEnded();
    });
    return sweep;
}

Operation* Board::startRead()
{
    if (m_link->refuseWhileBusy())
        return nullptr;
    ReadSweep* sweep = track(new ReadSweep(*m_link, this), true);
    connect(sweep, &Operation::finished, this, [this, sweep](bool whole) {
        const QStringList names = readState().unreadNames(readState().unreadShown());
        // A read stopped halfway has been reported by its stop, and a board that
        // answered nothing at all by the connection check: naming every value
        // would say nothing more.
        if (!names.isEmpty() && whole && sweep->answeredCount() > 0)
            ShowMessageWhenSettled(UnansweredMessage(names));
        sweep->dispose();
    });
    if (!sweep->start()) {
        delete sweep;
        return nullptr;
    }
    return sweep;
}

bool Board::reading() const
{
    return qobject_cast<ReadSweep*>(m_link->current()) != nullptr;
}

bool Board::writing() const
{
    return m_link->busy() && qobject_cast<ParameterWriteOperation*>(m_link->current());
}

bool Board::expectingReply() const
{
    return m_link->expectingReply();
}

void Board::setSetUpMode(bool on)
{
    if (m_setUpMode == on)
        return;
    m_setUpMode = on;
    emit setUpModeChanged(on);
}

bool Board::onLoader() const
{
    // Once the port is closed (the device lost, or the way back to the application
    // under way) the port panel is needed again.
    return m_handingOver || (m_firmwareWindowShown && serialPort() && serialPort()->IsOpen());
}

bool Board::refuseWhileBusy() const
{
    if (m_link->refuseWhileBusy())
        return true;
    if (!onLoader())
        return false;
    ShowMessage(QStringLiteral("The firmware update is running. Wait until it has finished."));
    return true;
}

} // namespace Params
