// The senders every subsystem shares: raw send, parameter write, the
// close-read-sequence frame and the parameter read sweep.
#include "app/Serial1.h"

#include "comm/Frames.h"
#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Globals.h"

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
    ClearLoadedMarks(); // the screen is about to show the board again
    ADDRESS = 0;
    Timer1->setEnabled(true);
}

void TSerialForm1::Timer1Timer()
{
    if (!Link->maySend()) // resumes where it was once the operation is over
        return;
    SendCommand(SweepReadFrame(ADDRESS));
    if (ADDRESS < Define::MAXEEPROM)
        ++ADDRESS;
    else
        Timer1->setEnabled(false);
}
