#include "sim/TrafficLog.h"

#include "sim/SimLog.h"

bool TrafficLog::start(const QString& path, QString* error)
{
    stop();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void TrafficLog::stop()
{
    if (m_file.isOpen())
        m_file.close();
}

void TrafficLog::received(qint64 ms, const QByteArray& chunk)
{
    writeLine(QStringLiteral("%1 RX %2").arg(ms).arg(SimLog::hex(chunk)));
}

void TrafficLog::late(const LateFrame& frame)
{
    writeLine(frame.describe());
}

void TrafficLog::writeLine(const QString& line)
{
    if (!m_file.isOpen())
        return;
    m_file.write((line + QLatin1Char('\n')).toLatin1());
    m_file.flush();
}
