// Questions on the terminal: the question on stdout, the answer a line on stdin.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace Cli {

// Shows the prompt and waits for Enter, before or after the board's work;
// false when the input ended first.
bool WaitForEnter(const QString& prompt);

// Enter pressed while the event loop runs, for a question asked in the middle
// of an operation: waiting there must not hold the board's frames back.
class EnterKey : public QObject {
    Q_OBJECT
public:
    explicit EnterKey(QObject* parent = nullptr);

signals:
    void pressed();
    void closed(); // the input ended: no answer will come

private:
    void readTyped();

    QSocketNotifier* m_notifier;
};

} // namespace Cli
