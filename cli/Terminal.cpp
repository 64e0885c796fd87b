#include "cli/Terminal.h"

#include <QSocketNotifier>
#include <QTextStream>
#include <array>
#include <unistd.h>

namespace Cli {

namespace {
constexpr size_t READ_CHUNK = 256;
}

bool WaitForEnter(const QString& prompt)
{
    QTextStream(stdout) << prompt << Qt::flush;
    QTextStream in(stdin);
    QString line;
    return in.readLineInto(&line);
}

EnterKey::EnterKey(QObject* parent)
    : QObject(parent)
    , m_notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &EnterKey::readTyped);
}

void EnterKey::readTyped()
{
    std::array<char, READ_CHUNK> typed{};
    const ssize_t count = ::read(STDIN_FILENO, typed.data(), typed.size());
    if (count <= 0) {
        m_notifier->setEnabled(false);
        emit closed();
        return;
    }
    for (ssize_t i = 0; i < count; ++i)
        if (typed[size_t(i)] == '\n')
            emit pressed();
}

} // namespace Cli
