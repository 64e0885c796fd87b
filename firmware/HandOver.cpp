// "FW" in the set-up window: the board goes over to its loader. The port is
// closed while the user moves the dip switches and opened again; then the
// firmware window takes over. Nothing is sent to the board meanwhile.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Framework.h"
#include "firmware/Boot.h"
#include "common/Handlers.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
enum HandOverStep { CLOSE_PORT = 1, ASK_FOR_LOADER = 2, OPEN_PORT = 3, SHOW_FIRMWARE_WINDOW = 4, STOP = 5 };

const QString UPLOAD_HINT = QStringLiteral("Upload new firmware");
} // namespace

void TSerialForm1::buildFirmwareControls()
{
    FWBTN = new QPushButton(QStringLiteral("FW"), Panel1);
    FWBTN->setObjectName(QStringLiteral("FWBTN"));
    FWBTN->setAccessibleName(UPLOAD_HINT);
    FWBTN->setToolTip(UPLOAD_HINT);
    if (auto* identity = qobject_cast<QGridLayout*>(Panel1->layout()))
        identity->addWidget(FWBTN, 0, identity->columnCount(), 2, 1);
    FWBTN->setEnabled(false);
    SetupControls.append(FWBTN);
    connectHandler(FWBTN, &QPushButton::clicked, this, [this] { FWBTNClick(); });

    auto* service = new QHBoxLayout(GroupBox3);
    Edit85 = new QLineEdit(GroupBox3);
    Edit85->setObjectName(QStringLiteral("Edit85"));
    Edit85->setAccessibleName(QStringLiteral("Flash address"));
    Edit83 = new QLineEdit(GroupBox3);
    Edit83->setObjectName(QStringLiteral("Edit83"));
    Edit83->setAccessibleName(QStringLiteral("Flash data"));
    // Service fields the program writes; nobody edits them.
    for (QLineEdit* field : {Edit85, Edit83}) {
        field->setReadOnly(true);
        field->setEnabled(false);
        service->addWidget(field);
    }

    Timer8 = new WindowTimer(this, Define::HANDOVER_TICK_MS);
    Timer8->setObjectName(QStringLiteral("Timer8"));
    Timer8->setOnTimer([this] { Timer8Timer(); });
}

void TSerialForm1::FWBTNClick()
{
    if (Link->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to load updated firmware ?")))
        return;
    setHandingOver(true);
    STEP8 = CLOSE_PORT;
    Timer8->setEnabled(true);
}

void TSerialForm1::setHandingOver(bool handingOver)
{
    HandingOver = handingOver;
    updateLock();
}

void TSerialForm1::Timer8Timer()
{
    switch (STEP8) {
    case CLOSE_PORT:
        ClosePort();
        break;
    case ASK_FOR_LOADER:
        Timer8->setEnabled(false);
        ShowMessage(QStringLiteral(
            "Please put the dipswitch in position for bootloader procedure and then press OK"));
        Timer8->setEnabled(true);
        break;
    case OPEN_PORT:
        if (!ReopenPort()) {
            Timer8->setEnabled(false);
            setHandingOver(false);
            return;
        }
        break;
    case SHOW_FIRMWARE_WINDOW:
        BootForm->show();
        BootForm->raise();
        setHandingOver(false); // the firmware window owns the board from now on
        break;
    case STOP:
        Timer8->setEnabled(false);
        break;
    default:
        break;
    }
    ++STEP8;
}

QString TSerialForm1::HandOverLost(const QString& port)
{
    // An erase or a run cut short leaves the board without its application.
    const QString firmwareNote = BootForm ? BootForm->TakeLossNote() : QString();
    // Once the firmware window shows, the hand-over has done its work.
    const bool handingOver = Timer8->Enabled() && STEP8 <= SHOW_FIRMWARE_WINDOW;
    Timer8->setEnabled(false);
    HandingOver = false; // the lock follows with the closed port's state
    if (!handingOver)
        return firmwareNote;
    return BoardLink::cutShort(QStringLiteral("Going over to the loader"), STEP8 - CLOSE_PORT,
                                   SHOW_FIRMWARE_WINDOW, QStringLiteral("steps"), port);
}

bool TSerialForm1::ReopenPort()
{
    try {
        OpenPort();
        return true;
    } catch (const Exception& e) {
        dialogs().error(e.message());
        return false;
    }
}
