// The six windows of the tool, created once at start-up in this order and
// reachable through these references until the program ends.
#pragma once

class MainWindow;
class SetupWindow;
class AboutBox;
class WaitDialog;
class TrafficMonitor;
class FirmwareWindow;

extern MainWindow* mainWindow;
extern SetupWindow* setupWindow;
extern AboutBox* aboutBox;
extern WaitDialog* waitDialog;
extern TrafficMonitor* trafficMonitor;
extern FirmwareWindow* firmwareWindow;

// Creates the six windows (all hidden). Called once, after the application object.
void CreateForms();
// Destroys them in reverse order (tests create and destroy them per test case).
void DestroyForms();
