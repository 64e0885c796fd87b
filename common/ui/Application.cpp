#include "common/ui/Application.h"

#include "common/Guarded.h"
#include "common/ui/QtDialogs.h"

TavrinApplication::TavrinApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The program ends when the main window closes, whichever windows are left.
    setQuitOnLastWindowClosed(false);
    InstallQtDialogs();
}

bool TavrinApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
