// Everything the board sends arrives through the link, whose routes reach the
// window's decoders; the traffic monitor listens to the link itself.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "comm/Hidden.h"
#include "common/Dialogs.h"
#include "common/Globals.h"

void TSerialForm1::connectLink()
{
    connect(Link, &BoardLink::busyChanged, this, [this] { updateLock(); });
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

void TSerialForm1::DisplayTrasmit(const QByteArray& Data)
{
    HiddenForm->logSent(Data);
}
