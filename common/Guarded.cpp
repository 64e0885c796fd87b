#include "common/Guarded.h"

#include "common/Dialogs.h"
#include "common/Framework.h"

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
