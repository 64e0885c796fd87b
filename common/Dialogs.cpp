#include "common/Dialogs.h"

#include <QTextStream>

namespace {

// Without a window (the command line, a test that installs nothing): messages
// go to the error stream and every question is answered No, which cancels.
class ConsoleDialogs final : public Dialogs {
public:
    void message(const QString& text) override { print(text); }
    void error(const QString& text) override { print(text); }
    bool askYesNo(const QString& text) override
    {
        print(text + QStringLiteral(" (answered No)"));
        return false;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }

private:
    static void print(const QString& text) { QTextStream(stderr) << text << Qt::endl; }
};

ConsoleDialogs consoleDialogs;
Dialogs* standard = &consoleDialogs;
Dialogs* current = nullptr;

} // namespace

Dialogs& dialogs()
{
    return current ? *current : *standard;
}

void setDialogs(Dialogs* replacement)
{
    current = replacement;
}

void setStandardDialogs(Dialogs* windows)
{
    standard = windows ? windows : &consoleDialogs;
}
