// "FW" in the header: it hands the board over to its loader (the steps
// are the HandOver object's; what they do to the windows is said here), and the
// service fields that show the word being programmed.
#include "params/ui/HeaderPanel.h"

#include "comm/BoardLink.h"
#include "comm/OperationProgress.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"
#include "firmware/HandOver.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString UPLOAD_HINT = QStringLiteral("Upload new firmware");
} // namespace

void HeaderPanel::buildFirmwareButton(HandOverActions actions)
{
    m_firmwareButton = new QPushButton(QStringLiteral("FW"), m_identityBand);
    m_firmwareButton->setObjectName(QStringLiteral("firmwareButton"));
    m_firmwareButton->setAccessibleName(UPLOAD_HINT);
    m_firmwareButton->setToolTip(UPLOAD_HINT);
    if (auto* identity = qobject_cast<QGridLayout*>(m_identityBand->layout()))
        identity->addWidget(m_firmwareButton, 0, identity->columnCount(), 2, 1);
    m_firmwareButton->setEnabled(false);
    connectHandler(m_firmwareButton, &QPushButton::clicked, this, [this] { updateFirmware(); });

    auto* service = new QHBoxLayout(m_flashServiceBox);
    m_flashAddress = new QLineEdit(m_flashServiceBox);
    m_flashAddress->setObjectName(QStringLiteral("flashAddress"));
    m_flashAddress->setAccessibleName(QStringLiteral("Flash address"));
    m_flashData = new QLineEdit(m_flashServiceBox);
    m_flashData->setObjectName(QStringLiteral("flashData"));
    m_flashData->setAccessibleName(QStringLiteral("Flash data"));
    // Service fields the program writes; nobody edits them.
    for (QLineEdit* field : {m_flashAddress, m_flashData}) {
        field->setReadOnly(true);
        field->setEnabled(false);
        service->addWidget(field);
    }

    m_handOver = new HandOver(
        {std::move(actions.closePort),
         [] {
             ShowMessage(QStringLiteral(
                 "Please put the dipswitch in position for bootloader procedure and then press OK"));
         },
         std::move(actions.reopenPort), std::move(actions.showFirmwareWindow)},
        this);
    // From the firmware window's showing on, it owns the board; a port that did
    // not open ends the hand-over.
    connect(m_handOver, &HandOver::finished, this, [this] { setHandingOver(false); });
}

void HeaderPanel::updateFirmware()
{
    if (board().link()->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to load updated firmware ?")))
        return;
    setHandingOver(true);
    m_handOver->start();
}

void HeaderPanel::showWordSent(int address, int word)
{
    m_flashAddress->setText(QString::number(address));
    m_flashData->setText(QString::number(word));
}

void HeaderPanel::comeLastInTabOrder()
{
    QWidget::setTabOrder(window()->previousInFocusChain(), m_firmwareButton);
}

void HeaderPanel::setHandingOver(bool handingOver)
{
    board().setHandingOver(handingOver);
    emit handingOverChanged();
}

QString HeaderPanel::handOverCutShort(const QString& port)
{
    // An erase or a run cut short leaves the board without its application.
    const QString firmwareNote = m_takeFirmwareLossNote();
    // Once the firmware window shows, the hand-over has done its work.
    const bool handingOver = m_handOver->running();
    const int step = m_handOver->step();
    m_handOver->stop();
    board().setHandingOver(false); // the lock follows with the closed port's state
    if (!handingOver)
        return firmwareNote;
    const OperationProgress handOver{QStringLiteral("Going over to the loader"), QStringLiteral("steps"),
                                     step - HandOver::CLOSE_PORT, HandOver::SHOW_FIRMWARE_WINDOW};
    return handOver.cutShort(port);
}
