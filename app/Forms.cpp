#include "app/Forms.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "comm/ui/PortPanel.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/ui/Handlers.h"
#include "firmware/ui/FirmwareWindow.h"
#include "params/ui/HeaderPanel.h"

#include <QLineEdit>

MainWindow* mainWindow = nullptr;
SetupWindow* setupWindow = nullptr;
AboutBox* aboutBox = nullptr;
WaitDialog* waitDialog = nullptr;
TrafficMonitor* trafficMonitor = nullptr;
FirmwareWindow* firmwareWindow = nullptr;

namespace {
// After a firmware run the board goes back to its application through the
// set-up window's own controls, as the user would use them.
FirmwareWindow::ReturnSteps firmwareReturnSteps(SetupWindow& setup)
{
    return {
        .closePort = [&setup] { setup.ports()->closePort(); },
        .reopenPort = [&setup] { return setup.ports()->reopenPort(); },
        // Selecting runs the handler only for a button not yet selected; the
        // direct call sends the mode once more.
        .selectActiveMode =
            [&setup] {
                SelectRadioButton(setup.ports()->activeModeButton);
                setup.ports()->activeModeChosen();
            },
        .selectSetUpMode =
            [&setup] {
                SelectRadioButton(setup.ports()->setUpModeButton);
                setup.ports()->setUpModeChosen();
            },
        .readParameters = [&setup] { setup.parameters()->readParameters(); },
    };
}
} // namespace

void CreateForms()
{
    mainWindow = new MainWindow;
    setupWindow = new SetupWindow;
    aboutBox = new AboutBox;
    Params::Board& board = *setupWindow->board();
    waitDialog = new WaitDialog(board);
    trafficMonitor = new TrafficMonitor;
    firmwareWindow = new FirmwareWindow(board, firmwareReturnSteps(*setupWindow));
    QObject::connect(firmwareWindow, &FirmwareWindow::wordSent, setupWindow, [](int address, int word) {
        setupWindow->header()->flashAddress->setText(QString::number(address));
        setupWindow->header()->flashData->setText(QString::number(word));
    });
    trafficMonitor->attach(*setupWindow->board()->link());
    // The set-up window's sending controls stay off while the firmware window is open.
    firmwareWindow->installEventFilter(setupWindow);
}

template <typename T> static void destroy(T*& form)
{
    delete form;
    form = nullptr;
}

void DestroyForms()
{
    destroy(firmwareWindow);
    destroy(trafficMonitor);
    destroy(waitDialog);
    destroy(aboutBox);
    destroy(setupWindow);
    destroy(mainWindow);
}
