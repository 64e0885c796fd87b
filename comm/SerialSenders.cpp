// The senders every subsystem shares: raw send, parameter write, the
// close-read-sequence frame and the start of the parameter read sweep.
#include "app/Serial1.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "params/ReadSweep.h"

void TSerialForm1::SendToBoard(const QByteArray& msg)
{
    Link->send(msg);
}

bool TSerialForm1::SendFrame(const QByteArray& frame)
{
    return Link->sendFrame(frame);
}

void TSerialForm1::SendCommand(const QByteArray& frame)
{
    Link->sendCommand(frame);
}

bool TSerialForm1::COMMAND() const
{
    return Link->expectingReply();
}

void TSerialForm1::WriteDato(int dato, int addr)
{
    if (SendFrame(ParameterWriteFrame(addr, dato)))
        Sleep(Define::WRITE_PAUSE_MS);
}

void TSerialForm1::SetCloseReadSeq()
{
    SendCommand(NoArgumentFrame(Define::CLOSEREADFLASH_CMD));
}

void TSerialForm1::ReadBtnClick()
{
    startReadSweep();
}

Operation* TSerialForm1::startReadSweep()
{
    if (Link->refuseWhileBusy())
        return nullptr;
    ClearLoadedMarks(); // the screen is about to show the board again
    m_readState.forgetAll();
    auto* sweep = new ReadSweep(*Link, this);
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

bool TSerialForm1::ReadingParameters() const
{
    return qobject_cast<ReadSweep*>(Link->current()) != nullptr;
}
