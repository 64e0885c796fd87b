// The program's own message boxes in an end-to-end test: the Qt dialogs show
// every message and question, and a timer answers each box as a user would, by
// finding the active modal widget and clicking its button (Yes to a question,
// the default button otherwise) from inside the box's own event loop. Files are
// chosen from a script, as with the recorder.
#pragma once

#include "common/Dialogs.h"

#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QTimer>
#include <functional>

class AnsweredDialogs final : public QObject, public Dialogs {
    Q_OBJECT
public:
    // restore: what the test had installed, put back at the end.
    explicit AnsweredDialogs(Dialogs& restore);
    ~AnsweredDialogs() override;

    void message(const QString& text) override { m_shown.message(text); }
    void error(const QString& text) override { m_shown.error(text); }
    bool askYesNo(const QString& text) override { return m_shown.askYesNo(text); }
    QString openFileName(const QString&, const QString&, const QString&) override { return nextFile(); }
    QString saveFileName(const QString&, const QString&, const QString&) override { return nextFile(); }

    // The text of every box answered, in order.
    QStringList texts;
    QQueue<QString> files;
    // Runs with a box's text before it is answered: the user acting first.
    std::function<void(const QString&)> onShown;

private:
    void answer();
    QString nextFile() { return files.isEmpty() ? QString() : files.dequeue(); }

    Dialogs& m_restore;
    Dialogs& m_shown; // the program's standard dialogs
    QTimer m_timer;
};
