// Everything the board sends arrives here: it is logged and routed by content.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/Hidden.h"
#include "comm/LinkOperation.h"
#include "comm/LogMemo.h"
#include "comm/TrafficLog.h"
#include "common/Clock.h"
#include "common/Define.h"
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

void TSerialForm1::ComPort1ReceiveCallBack(const QByteArray& Data)
{
    ComPort1ReceiveCallBackRAW(Data);
}

void TSerialForm1::ComPort1ReceiveCallBackRAW(const QByteArray& Data)
{
    if (Data.isEmpty())
        return;
    if (HiddenForm->logging()) {
        HiddenForm->Memo2->Add(FormatLogLine(RX_PREFIX, Data, HiddenForm->hexMode()));
        clearWhenFull(HiddenForm->Memo2);
    }
    if (!Link->holdBlock(Data))
        RouteBlock(Data);
}

void TSerialForm1::RouteBlock(const QByteArray& Data)
{
    // A block may satisfy several tests; they run in this order on the whole block.
    const BlockRoutes routes = ClassifyBlock(Data, COMMAND);
    if (routes.writeFileDone)
        ShowMessage(QStringLiteral(" Scrittura completata "));
    if (routes.parameterReply) {
        UnpackComand(Data);
        COMMAND = false;
    }
    if (routes.telemetry) {
        UnpackData(Data);
        GraphUpdate();
    }
    if (routes.uploadEnd) {
        if (RICHIESTA)
            ShowMessage(QStringLiteral("Uploading file completed."));
        waitform->close();
    }
    if (routes.pauseForB)
        Sleep(Define::BLOCK_B_PAUSE_MS);
    if (routes.shot)
        ShowShot(Data);
}

void TSerialForm1::DisplayTrasmit(const QByteArray& Data)
{
    if (Data.isEmpty())
        return;
    if (HiddenForm->logging())
        HiddenForm->Memo1->Add(FormatLogLine(TX_PREFIX, Data, HiddenForm->hexMode()));
    clearWhenFull(HiddenForm->Memo1);
}
