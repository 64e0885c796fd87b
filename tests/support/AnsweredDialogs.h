// The program's own message boxes in an end-to-end test: the Qt dialogs take
// the recorder's place, and a timer answers each box as a user would, by
// finding the active modal widget and clicking its button (Yes to a question,
// the default button otherwise) from inside the box's own event loop.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class Dialogs;

class AnsweredDialogs : public QObject {
    Q_OBJECT
public:
    // restore: what the test had installed, put back at the end.
    explicit AnsweredDialogs(Dialogs& restore);
    ~AnsweredDialogs() override;

    // The text of every box answered, in order.
    QStringList texts;

private:
    void answer();

    Dialogs& m_restore;
    QTimer m_timer;
};
