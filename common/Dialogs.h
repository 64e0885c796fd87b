// The one place where the tool asks the user something or tells them something.
// Production shows Qt message boxes; tests install a recorder that captures the
// texts and answers questions from a script.
#pragma once

#include <QString>
#include <functional>

class QWidget;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An informational message with an OK button.
    virtual void message(const QString& text) = 0;
    // The default error box: an error that stopped the handler that was running.
    virtual void error(const QString& text) = 0;
    // A Yes/No question; only No (or dismissing the question) answers false.
    virtual bool askYesNo(const QString& text) = 0;
    // A file to open; an empty result means the user cancelled.
    virtual QString openFileName(const QString& caption, const QString& folder, const QString& filter) = 0;
    // A file to write; empty when the user cancelled.
    virtual QString saveFileName(const QString& caption, const QString& folder, const QString& filter) = 0;
};

// The dialogs in use. Never null: the installed implementation, else the
// standard one (the Qt message boxes in the windowed program, the error stream
// and No to every question elsewhere).
Dialogs& dialogs();
// Installs another implementation (tests); nullptr restores the standard one.
void setDialogs(Dialogs* replacement);
// Sets the standard implementation; nullptr restores the error stream.
void setStandardDialogs(Dialogs* windows);

// Brackets a dialog that runs an event loop of its own (a message box, a file
// chooser): the handler that opened it is still on the stack meanwhile, so work
// that must not run under a handler (whenSettled()) waits for its end.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};
// True while a dialog bracketed by ModalScope is open.
bool modalOpen();
// Runs work from the top of the event loop: once the handler that asks has
// returned, outside every pause and every modal dialog. An operation that ends
// inside one of its own steps is deleted, and tells of its end, through it: a
// nested loop would otherwise run that under the step.
void whenSettled(std::function<void()> work);

// Shorthands used by the windows.
inline void ShowMessage(const QString& text)
{
    dialogs().message(text);
}
// The message that tells of an operation's end: shown once the step that ended
// it has returned.
inline void ShowMessageWhenSettled(const QString& text)
{
    whenSettled([text] { ShowMessage(text); });
}
inline bool AskYesNo(const QString& text)
{
    return dialogs().askYesNo(text);
}
