// Everything the board sends arrives through the link: the traffic monitor logs
// it, and the link's routes reach the window's decoders.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "comm/Hidden.h"
#include "comm/LogMemo.h"
#include "comm/TrafficLog.h"
#include "common/Dialogs.h"
#include "common/Globals.h"

namespace {
constexpr int LOG_CLEAR_LINES = 500;

void clearWhenFull(LogMemo* memo)
{
    if (memo->LinesCount() == LOG_CLEAR_LINES)
        memo->Clear();
}
} // namespace

void TSerialForm1::connectLink()
{
    connect(Link, &BoardLink::busyChanged, this, [this] { updateLock(); });
    connect(Link, &BoardLink::frameSent, this, [this](const QByteArray& frame) { DisplayTrasmit(frame); });
    connect(Link, &BoardLink::blockReceived, this, [this](const QByteArray& block) { DisplayReceived(block); });
    connect(Link, &BoardLink::writeFileDone, this, [] { ShowMessage(QStringLiteral(" Scrittura completata ")); });
    connect(Link, &BoardLink::parameterReply, this, [this](const QByteArray& block) { UnpackComand(block); });
    connect(Link, &BoardLink::telemetry, this, [this](const QByteArray& block) {
        UnpackData(block);
        GraphUpdate();
    });
    connect(Link, &BoardLink::uploadEnded, this, [] {
        if (RICHIESTA)
            ShowMessage(QStringLiteral("Uploading file completed."));
        waitform->close();
    });
    connect(Link, &BoardLink::shot, this, [this](const QByteArray& block) { ShowShot(block); });
    connect(Link, &BoardLink::portLost, this, [this] { ComPort1DeviceLost(); });
}

void TSerialForm1::ComPort1ReceiveCallBack(const QByteArray& Data)
{
    Link->receive(Data);
}

void TSerialForm1::DisplayReceived(const QByteArray& Data)
{
    if (!HiddenForm->logging())
        return;
    HiddenForm->Memo2->Add(FormatLogLine(RX_PREFIX, Data, HiddenForm->hexMode()));
    clearWhenFull(HiddenForm->Memo2);
}

void TSerialForm1::DisplayTrasmit(const QByteArray& Data)
{
    if (Data.isEmpty())
        return;
    if (HiddenForm->logging())
        HiddenForm->Memo1->Add(FormatLogLine(TX_PREFIX, Data, HiddenForm->hexMode()));
    clearWhenFull(HiddenForm->Memo1);
}
