// "FW" in the set-up window: it hands the board over to its loader (the steps
// are the HandOver object's; what they do to the windows is said here), and the
// service fields that show the word being programmed.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Framework.h"
#include "firmware/Boot.h"
#include "firmware/HandOver.h"
#include "common/Handlers.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
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

    m_handOver = new HandOver(
        {[this] { ClosePort(); },
         [] {
             ShowMessage(QStringLiteral(
                 "Please put the dipswitch in position for bootloader procedure and then press OK"));
         },
         [this] { return ReopenPort(); },
         [] {
             BootForm->show();
             BootForm->raise();
         }},
        this);
    Timer8 = m_handOver->timer();
    // From the firmware window's showing on, it owns the board; a port that did
    // not open ends the hand-over.
    connect(m_handOver, &HandOver::finished, this, [this] { setHandingOver(false); });
}

void TSerialForm1::FWBTNClick()
{
    if (Link->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to load updated firmware ?")))
        return;
    setHandingOver(true);
    m_handOver->start();
}

int TSerialForm1::STEP8() const
{
    return m_handOver->step();
}

void TSerialForm1::setHandingOver(bool handingOver)
{
    HandingOver = handingOver;
    updateLock();
}

QString TSerialForm1::HandOverLost(const QString& port)
{
    // An erase or a run cut short leaves the board without its application.
    const QString firmwareNote = BootForm ? BootForm->TakeLossNote() : QString();
    // Once the firmware window shows, the hand-over has done its work.
    const bool handingOver = m_handOver->running();
    const int step = m_handOver->step();
    m_handOver->stop();
    HandingOver = false; // the lock follows with the closed port's state
    if (!handingOver)
        return firmwareNote;
    return BoardLink::cutShort(QStringLiteral("Going over to the loader"), step - HandOver::CLOSE_PORT,
                               HandOver::SHOW_FIRMWARE_WINDOW, QStringLiteral("steps"), port);
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
