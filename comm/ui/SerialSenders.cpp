// The senders every subsystem shares: raw send, parameter write, the
// close-read-sequence frame and the start of the parameter read sweep.
#include "app/SetupWindow.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "params/ReadSweep.h"

bool SetupWindow::sendFrame(const QByteArray& frame)
{
    return m_link->sendFrame(frame);
}

void SetupWindow::sendCommand(const QByteArray& frame)
{
    m_link->sendCommand(frame);
}

bool SetupWindow::expectingReply() const
{
    return m_link->expectingReply();
}

void SetupWindow::writeValue(int dato, int addr)
{
    if (sendFrame(ParameterWriteFrame(addr, dato)))
        Sleep(Define::WRITE_PAUSE_MS);
}

void SetupWindow::readParameters()
{
    startRead();
}

Operation* SetupWindow::startRead()
{
    if (m_link->refuseWhileBusy())
        return nullptr;
    clearLoadedMarks(); // the screen is about to show the board again
    m_readState.forgetAll();
    auto* sweep = new ReadSweep(*m_link, this);
    connect(sweep, &Operation::finished, this, [this, sweep](bool whole) {
        readSweepEnded(*sweep, whole);
        sweep->dispose();
    });
    if (!sweep->start()) {
        delete sweep;
        return nullptr;
    }
    return sweep;
}

bool SetupWindow::reading() const
{
    return qobject_cast<ReadSweep*>(m_link->current()) != nullptr;
}
