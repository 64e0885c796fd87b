#include "common/Application.h"

#include "common/Dialogs.h"
#include "common/Framework.h"

TavrinApplication::TavrinApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The program ends when the main window closes, whichever windows are left.
    setQuitOnLastWindowClosed(false);
}

bool TavrinApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void ShowCurrentException()
{
    try {
        throw;
    } catch (const Exception& e) {
        dialogs().error(e.message());
    } catch (const std::exception& e) {
        dialogs().error(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        dialogs().error(QStringLiteral("Unknown error."));
    }
}

bool runGuarded(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}
