// "FW" in the header: it hands the board over to its loader (the steps
// are the HandOver object's; what they do to the windows is said here), and the
// service fields that show the word being programmed.
#include "params/ui/HeaderPanel.h"

#include "app/Forms.h"
#include "comm/BoardLink.h"
#include "comm/OperationProgress.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"
#include "firmware/HandOver.h"
#include "firmware/ui/FirmwareWindow.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString UPLOAD_HINT = QStringLiteral("Upload new firmware");
} // namespace

void HeaderPanel::buildFirmwareButton(PortActions portActions)
{
    firmwareButton = new QPushButton(QStringLiteral("FW"), identityBand);
    firmwareButton->setObjectName(QStringLiteral("firmwareButton"));
    firmwareButton->setAccessibleName(UPLOAD_HINT);
    firmwareButton->setToolTip(UPLOAD_HINT);
    if (auto* identity = qobject_cast<QGridLayout*>(identityBand->layout()))
        identity->addWidget(firmwareButton, 0, identity->columnCount(), 2, 1);
    firmwareButton->setEnabled(false);
    connectHandler(firmwareButton, &QPushButton::clicked, this, [this] { updateFirmware(); });

    auto* service = new QHBoxLayout(flashServiceBox);
    flashAddress = new QLineEdit(flashServiceBox);
    flashAddress->setObjectName(QStringLiteral("flashAddress"));
    flashAddress->setAccessibleName(QStringLiteral("Flash address"));
    flashData = new QLineEdit(flashServiceBox);
    flashData->setObjectName(QStringLiteral("flashData"));
    flashData->setAccessibleName(QStringLiteral("Flash data"));
    // Service fields the program writes; nobody edits them.
    for (QLineEdit* field : {flashAddress, flashData}) {
        field->setReadOnly(true);
        field->setEnabled(false);
        service->addWidget(field);
    }

    m_handOver = new HandOver(
        {std::move(portActions.closePort),
         [] {
             ShowMessage(QStringLiteral(
                 "Please put the dipswitch in position for bootloader procedure and then press OK"));
         },
         std::move(portActions.reopenPort),
         [] {
             firmwareWindow->show();
             firmwareWindow->raise();
         }},
        this);
    handOverTimer = m_handOver->timer();
    // From the firmware window's showing on, it owns the board; a port that did
    // not open ends the hand-over.
    connect(m_handOver, &HandOver::finished, this, [this] { setHandingOver(false); });
}

void HeaderPanel::updateFirmware()
{
    if (m_board.link()->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to load updated firmware ?")))
        return;
    setHandingOver(true);
    m_handOver->start();
}

int HeaderPanel::handOverStep() const
{
    return m_handOver->step();
}

void HeaderPanel::setHandingOver(bool handingOver)
{
    m_board.setHandingOver(handingOver);
    emit handingOverChanged();
}

QString HeaderPanel::handOverCutShort(const QString& port)
{
    // An erase or a run cut short leaves the board without its application.
    const QString firmwareNote = firmwareWindow ? firmwareWindow->takeLossNote() : QString();
    // Once the firmware window shows, the hand-over has done its work.
    const bool handingOver = m_handOver->running();
    const int step = m_handOver->step();
    m_handOver->stop();
    m_board.setHandingOver(false); // the lock follows with the closed port's state
    if (!handingOver)
        return firmwareNote;
    const OperationProgress handOver{QStringLiteral("Going over to the loader"), QStringLiteral("steps"),
                                     step - HandOver::CLOSE_PORT, HandOver::SHOW_FIRMWARE_WINDOW};
    return handOver.cutShort(port);
}
