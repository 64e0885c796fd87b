// "Write Parameters": every value of the screen is checked first, then the
// three banks go out one byte per frame as one operation on the link, with the
// window kept alive and the progress in view. Each frame leaves at least 100 ms
// after the one before: the timer is re-armed from the moment a frame left, so a
// late tick never makes the next gap short.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/Frames.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

using namespace Params;

namespace {
QString progressText(int sent, int total)
{
    return QStringLiteral("Writing parameters to Kordex... %1 of %2").arg(sent).arg(total);
}
} // namespace

bool TSerialForm1::WritingParameters() const
{
    return WriteTimer->Enabled();
}

void TSerialForm1::SpeedButton5Click()
{
    if (Timer1->Enabled() && !Link->busy()) {
        ShowMessage(QStringLiteral("Read Parameters is running. Wait until it has finished."));
        return;
    }
    int frequency = Define::FREQUENCY_EVO;
    if (lowcheck->isChecked())
        frequency = Define::FREQUENCY_STD;
    else if (Medcheck->isChecked())
        frequency = Define::FREQUENCY_MED;
    WritePlanResult result = PlanParameterWrite(
        [this](const QString& name) { return edit(name) ? edit(name)->text() : QString(); }, frequency);
    if (!result.ok()) {
        if (QLineEdit* bad = edit(result.refusal->edit)) {
            bad->setFocus();
            bad->selectAll();
        }
        dialogs().error(result.refusal->message);
        return;
    }
    m_writePlan = std::make_unique<WritePlan>(std::move(result.plan));
    m_writeQueue.clear();
    m_writesSent = 0;
    WRITE_DATA_BANK1();
    WRITE_DATA_BANK2();
    WRITE_DATA_BANK3();
    const int total = static_cast<int>(m_writeQueue.size());
    if (!Link->begin({QStringLiteral("Write Parameters"), QStringLiteral("values"), total,
                      BoardLink::Blocks::Deferred, [this] {
                          endParameterWrite();
                          waitform->close();
                      }}))
        return;

    waitform->setHeight(Define::WAIT_HEIGHT_TEXT_ONLY);
    waitform->Label1->setText(progressText(0, total));
    waitform->ProgressBar1->setRange(0, total);
    waitform->ProgressBar1->setValue(0);
    waitform->show();
    sendNextParameter();
}

void TSerialForm1::queueBankWrites(int bank)
{
    m_writeQueue += m_writePlan->bank(bank);
}

void TSerialForm1::WRITE_DATA_BANK1()
{
    queueBankWrites(Define::BANK1);
}

void TSerialForm1::WRITE_DATA_BANK2()
{
    queueBankWrites(Define::BANK2);
}

void TSerialForm1::WRITE_DATA_BANK3()
{
    queueBankWrites(Define::BANK3);
}

void TSerialForm1::WriteTimerTimer()
{
    if (m_writeQueue.isEmpty()) { // the last frame has had its 100 ms
        ClearLoadedMarks();       // the board holds what the screen shows
        endParameterWrite();
        waitform->close();
        return;
    }
    sendNextParameter();
}

void TSerialForm1::sendNextParameter()
{
    const ParameterWrite next = m_writeQueue.takeFirst();
    {
        const BoardLink::Sending sending(*Link);
        SendFrame(ParameterWriteFrame(next.address, next.value));
    }
    WriteTimer->setEnabled(true); // (re)starts the full period from now
    ++m_writesSent;
    Link->progress(m_writesSent);
    const int total = m_writesSent + static_cast<int>(m_writeQueue.size());
    waitform->Label1->setText(progressText(m_writesSent, total));
    waitform->ProgressBar1->setValue(m_writesSent);
}

void TSerialForm1::endParameterWrite()
{
    WriteTimer->setEnabled(false);
    m_writeQueue.clear();
    Link->end();
}
