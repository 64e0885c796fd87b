#include "comm/SettingsFile.h"

#include <QFile>
#include <QSaveFile>

namespace {
const char* const LINE_END = "\r\n";

QString readLine(QFile& file)
{
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}
} // namespace

std::optional<SavedPort> ReadSettingsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    SavedPort saved;
    saved.port = readLine(file);
    saved.indexText = readLine(file);
    return saved;
}

bool WriteSettingsFile(const QString& path, const QString& port, int index)
{
    // Written to a temporary file and renamed, so a full disk or a crash never
    // leaves a half-written settings file behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(port.toLocal8Bit() + LINE_END);
    file.write(QByteArray::number(index) + LINE_END);
    return file.commit();
}
