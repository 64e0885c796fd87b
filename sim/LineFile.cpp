#include "sim/LineFile.h"

bool LineFile::start(const QString& path, QString* error)
{
    stop();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void LineFile::stop()
{
    if (m_file.isOpen())
        m_file.close();
}

void LineFile::writeLine(const QString& line)
{
    if (!m_file.isOpen())
        return;
    m_file.write((line + QLatin1Char('\n')).toLatin1());
    m_file.flush();
}
