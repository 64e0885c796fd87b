// A programming run, one step per tick of Timer1: the file's lines while the
// loader acknowledges them, then the way back to the board's application (port
// closed, the user moves the dip switches, port opened, Active, SetUp, and the
// parameters read again). The lines go out as one operation on the link; it
// ends with the file, so the way back uses the ordinary senders.
#include "firmware/Boot.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "comm/Frames.h"
#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Framework.h"
#include "common/Globals.h"
#include "firmware/BootTexts.h"
#include "firmware/HexReader.h"
#include "firmware/LoaderPace.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace {
enum RunStep {
    SEND_LINES = 1,
    CLOSE_PORT = 2,
    ASK_FOR_APPLICATION = 3,
    OPEN_PORT = 4,
    SELECT_ACTIVE = 5,
    SELECT_SETUP = 6,
    READ_PARAMETERS = 7,
    STOP = 8,
};
} // namespace

void TBootForm::Timer1Timer()
{
    TSerialForm1& setup = *SerialForm1;
    switch (STEP1) {
    case SEND_LINES:
        if (!sendNextLine())
            return;
        break;
    case CLOSE_PORT:
        setup.ClosePort();
        break;
    case ASK_FOR_APPLICATION:
        Timer1->setEnabled(false);
        Timer1->setInterval(Define::FIRMWARE_RESTART_TICK_MS);
        ShowMessage(QStringLiteral("Set the dipswitches for active status."));
        Timer1->setEnabled(true);
        EraseFlashbtn->setEnabled(false);
        ProgramFlashBtn->setEnabled(false);
        break;
    case OPEN_PORT:
        if (!setup.ReopenPort()) {
            Timer1->setEnabled(false);
            return;
        }
        break;
    case SELECT_ACTIVE:
        // Already selected since the port opened: only the explicit call sends mode 1.
        TSerialForm1::SelectButton(setup.RadioButton10);
        setup.RadioButton10Click();
        break;
    case SELECT_SETUP:
        // The selection sends mode 4 and so does the explicit call.
        TSerialForm1::SelectButton(setup.RadioButton9);
        setup.RadioButton9Click();
        break;
    case READ_PARAMETERS:
        setup.ReadBtnClick();
        break;
    case STOP:
        Timer1->setEnabled(false);
        break;
    default:
        break;
    }
    ++STEP1;
}

bool TBootForm::sendNextLine()
{
    if (!READY) {
        // The count is of the silence since the last acknowledgement: a board
        // that is slow on every line but answers is never cut off.
        if (++TIMEOUT >= Define::FIRMWARE_TIMEOUT_TICKS) {
            stopRun();
            ShowMessage(BootTexts::RunTimeout());
        }
        return false;
    }
    TIMEOUT = 0;
    if (m_nextLine >= m_lines.size()) {
        finishFile();
        return true;
    }
    STEP1 = 0; // the increment at the end of the tick brings it back to 1
    const QString line = m_lines[m_nextLine++];
    // Painted during the word pauses, which keep the windows painting.
    Gauge1->setValue(std::min(index, Gauge1->maximum()));
    bool intelHex = false;
    const int wordsBefore = m_wordsSent;
    {
        const BoardLink::Sending sending(*SerialForm1->Link);
        intelHex = DecodeHexLine(line);
    }
    if (!intelHex) {
        stopRun();
        ShowMessage(BootTexts::NotIntelHex());
        return false;
    }
    ++index;
    SerialForm1->Link->progress(index);
    m_msLeft = std::max<qint64>(0, m_msLeft - Hex::LineMs(m_wordsSent - wordsBefore));
    showProgress();
    return true;
}

void TBootForm::showProgress()
{
    showValue(RunProgress, BootTexts::Progress(m_wordsSent, m_summary.words, m_msLeft));
}

void TBootForm::finishFile()
{
    showValue(Label5, timeOfDay());
    m_running = false;
    SerialForm1->Link->end();
    FileButton->setEnabled(true);
    Timer1->setEnabled(false);
    ShowMessage(BootTexts::Done(m_wordsSent));
    Timer1->setEnabled(true);
}

void TBootForm::stopRun()
{
    Timer1->setEnabled(false);
    if (!m_running)
        return;
    m_running = false;
    SerialForm1->Link->end();
    // Part of the file is on the board: only an erase lets a run start again.
    FileButton->setEnabled(true);
    EraseFlashbtn->setEnabled(true);
}

bool TBootForm::DecodeHexLine(const QString& line)
{
    const Hex::DecodedLine decoded = Hex::DecodeHexRecord(line);
    if (!decoded.intelHex)
        return false;
    TSerialForm1& setup = *SerialForm1;
    int address = decoded.address;
    for (const std::uint16_t word : decoded.words) {
        setup.Edit85->setText(QString::number(address));
        setup.Edit83->setText(QString::number(word));
        setup.SendCommand(LoaderFrame(Define::WRITEFLASHAPP_CMD, word));
        READY = 0;
        ++m_wordsSent;
        address += Define::HEX_WORD_ADDRESS_STEP;
        Sleep(Define::FIRMWARE_WORD_PAUSE_MS);
        // The device went away during the pause: the rest of the line has nowhere to go.
        if (!setup.ComPort1->IsOpen())
            return true;
    }
    if (!decoded.conversionError.isEmpty())
        throw EConvertError(decoded.conversionError);
    return true;
}
