#include "app/Forms.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "comm/ui/TrafficMonitor.h"
#include "firmware/ui/FirmwareWindow.h"

MainWindow* mainWindow = nullptr;
SetupWindow* setupWindow = nullptr;
AboutBox* aboutBox = nullptr;
WaitDialog* waitDialog = nullptr;
TrafficMonitor* trafficMonitor = nullptr;
FirmwareWindow* firmwareWindow = nullptr;

void CreateForms()
{
    mainWindow = new MainWindow;
    setupWindow = new SetupWindow;
    aboutBox = new AboutBox;
    waitDialog = new WaitDialog;
    trafficMonitor = new TrafficMonitor;
    firmwareWindow = new FirmwareWindow;
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
