#include "sim/ParameterMemory.h"

#include "sim/FactoryParameters.h"

#include <QFile>
#include <QSaveFile>

ParameterMemory::ParameterMemory()
{
    m_bytes = factoryParameters();
}

void ParameterMemory::write(quint8 address, quint8 value)
{
    m_bytes[address] = value;
    if (onChanged)
        onChanged();
}

QByteArray ParameterMemory::bytes() const
{
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()), SIZE);
}

bool ParameterMemory::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray contents = file.read(SIZE + 1);
    if (contents.size() != SIZE) {
        *error = QStringLiteral("%1 holds %2 bytes, not %3").arg(path).arg(contents.size()).arg(SIZE);
        return false;
    }
    std::copy(contents.cbegin(), contents.cend(), m_bytes.begin());
    return true;
}

bool ParameterMemory::save(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes()) != SIZE || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
