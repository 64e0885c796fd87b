#include "sim/PortLink.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

PortLink::PortLink(QString path)
    : m_path(std::move(path))
{
}

PortLink::~PortLink()
{
    withdraw();
}

bool PortLink::publish(const QString& target, QString* error)
{
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    const QByteArray link = QFile::encodeName(m_path);
    const QByteArray staging = link + ".new." + QByteArray::number(getpid());
    ::unlink(staging.constData());
    if (::symlink(QFile::encodeName(target).constData(), staging.constData()) != 0 ||
        ::rename(staging.constData(), link.constData()) != 0) {
        *error = QStringLiteral("cannot publish %1: %2").arg(m_path, QString::fromLocal8Bit(strerror(errno)));
        ::unlink(staging.constData());
        return false;
    }
    m_target = target;
    return true;
}

void PortLink::withdraw()
{
    if (m_target.isEmpty())
        return;
    // Another simulator may have taken the name over since: leave its link alone.
    const QByteArray link = QFile::encodeName(m_path);
    char pointsAt[PATH_MAX];
    const ssize_t length = ::readlink(link.constData(), pointsAt, sizeof pointsAt);
    if (length > 0 && QByteArray(pointsAt, length) == QFile::encodeName(m_target))
        ::unlink(link.constData());
    m_target.clear();
}
