#include "app/Forms.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "comm/ui/PortPanel.h"
#include "comm/ui/TrafficMonitor.h"
#include "firmware/ui/FirmwareWindow.h"
#include "params/ui/HeaderPanel.h"

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
        .selectActiveMode = [&setup] { setup.ports()->chooseMode(Params::Board::Mode::Active); },
        .selectSetUpMode = [&setup] { setup.ports()->chooseMode(Params::Board::Mode::SetUp); },
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
    QObject::connect(firmwareWindow, &FirmwareWindow::wordSent, setupWindow->header(),
                     &HeaderPanel::showWordSent);
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
