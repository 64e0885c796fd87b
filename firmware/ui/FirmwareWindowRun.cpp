// A programming run, one step per tick of returnTimer: the file's lines while the
// loader acknowledges them, then the way back to the board's application (port
// closed, the user moves the dip switches, port opened, Active, SetUp, and the
// parameters read again). The lines go out as one operation on the link; it
// ends with the file, so the way back uses the ordinary senders.
#include "firmware/ui/FirmwareWindow.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "comm/Operation.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Framework.h"
#include "common/Globals.h"
#include "common/ui/Handlers.h"
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

void FirmwareWindow::returnStep()
{
    SetupWindow& setup = *setupWindow;
    switch (runStep) {
    case CLOSE_PORT:
        setup.ports()->closePort();
        break;
    case ASK_FOR_APPLICATION:
        returnTimer->setEnabled(false);
        returnTimer->setInterval(Define::FIRMWARE_RESTART_TICK_MS);
        ShowMessage(QStringLiteral("Set the dipswitches for active status."));
        returnTimer->setEnabled(true);
        eraseButton->setEnabled(false);
        programButton->setEnabled(false);
        break;
    case OPEN_PORT:
        if (!setup.ports()->reopenPort()) {
            returnTimer->setEnabled(false);
            return;
        }
        break;
    case SELECT_ACTIVE:
        // Already selected since the port opened: only the explicit call sends mode 1.
        SelectRadioButton(setup.ports()->activeModeButton);
        setup.ports()->activeModeChosen();
        break;
    case SELECT_SETUP:
        // The selection sends mode 4 and so does the explicit call.
        SelectRadioButton(setup.ports()->setUpModeButton);
        setup.ports()->setUpModeChosen();
        break;
    case READ_PARAMETERS:
        setup.parameters()->readParameters();
        break;
    case STOP:
        returnTimer->setEnabled(false);
        break;
    default:
        break;
    }
    ++runStep;
}

void FirmwareWindow::finishRun(Operation* run, bool ok, const QString& message)
{
    run->dispose();
    fileButton->setEnabled(true);
    if (!ok) {
        // Part of the file is on the board: only an erase lets a run start again.
        runStep = 0;
        eraseButton->setEnabled(true);
        m_lostMidway = message.isEmpty();
        if (!message.isEmpty())
            ShowMessageWhenSettled(message);
        return;
    }
    showValue(endTime, timeOfDay());
    // The way back to the board's application, one step per tick, starts once
    // the user has read the message.
    whenSettled([self = QPointer<FirmwareWindow>(this), message] {
        ShowMessage(message);
        if (!self)
            return;
        self->runStep = CLOSE_PORT;
        self->returnTimer->setInterval(Define::FIRMWARE_TICK_MS);
        self->returnTimer->setEnabled(true);
    });
}
