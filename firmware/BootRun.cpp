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
#include "comm/Operation.h"
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
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

void TBootForm::Timer1Timer()
{
    TSerialForm1& setup = *SerialForm1;
    switch (STEP1) {
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

void TBootForm::finishRun(Operation* run, bool ok, const QString& message)
{
    run->dispose();
    FileButton->setEnabled(true);
    if (!ok) {
        // Part of the file is on the board: only an erase lets a run start again.
        STEP1 = 0;
        EraseFlashbtn->setEnabled(true);
        m_lostMidway = message.isEmpty();
        if (!message.isEmpty())
            ShowMessageWhenSettled(message);
        return;
    }
    showValue(Label5, timeOfDay());
    // The way back to the board's application, one step per tick, starts once
    // the user has read the message.
    whenSettled([self = QPointer<TBootForm>(this), message] {
        ShowMessage(message);
        if (!self)
            return;
        self->STEP1 = CLOSE_PORT;
        self->Timer1->setInterval(Define::FIRMWARE_TICK_MS);
        self->Timer1->setEnabled(true);
    });
}
