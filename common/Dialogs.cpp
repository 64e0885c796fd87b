#include "common/Dialogs.h"

#include "common/Clock.h"
#include "common/Guarded.h"

#include <QCoreApplication>
#include <QTextStream>
#include <deque>
#include <utility>

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

namespace {
int modalDepth = 0;
// Work for the top of the event loop, in the order it was asked for.
std::deque<std::function<void()>> settling;
bool drainPosted = false;

void drainSettling();

void postDrain()
{
    if (std::exchange(drainPosted, true))
        return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            drainPosted = false;
            drainSettling();
        },
        Qt::QueuedConnection);
}

void drainSettling()
{
    while (!settling.empty()) {
        // The end of the dialog asks again.
        if (modalOpen())
            return;
        if (appClock().pausing()) {
            appClock().whenNotPaused(drainSettling);
            return;
        }
        const std::function<void()> work = std::move(settling.front());
        settling.pop_front();
        runGuarded(work);
    }
}
} // namespace

ModalScope::ModalScope()
{
    ++modalDepth;
}

ModalScope::~ModalScope()
{
    // The handler that opened the dialog goes on first.
    if (--modalDepth == 0 && !settling.empty())
        postDrain();
}

bool modalOpen()
{
    return modalDepth > 0;
}

void whenSettled(std::function<void()> work)
{
    settling.push_back(std::move(work));
    postDrain();
}
