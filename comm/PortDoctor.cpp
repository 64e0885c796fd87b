#include "comm/PortDoctor.h"

#include "comm/ComPort.h"
#include "comm/PortDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isPermissionError(int error)
{
    return error == EACCES || error == EPERM;
}

bool isBusyError(int error)
{
    return error == EBUSY || error == EWOULDBLOCK;
}

QString groupOf(const QString& device)
{
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return {};
    const group* entry = ::getgrgid(info.st_gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(info.st_gid);
}

// The first other process with the device open, found through /proc.
void findHolder(PortTrouble& trouble)
{
    const QString target = QFileInfo(trouble.device).canonicalFilePath();
    const qint64 self = ::getpid();
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == self)
            continue;
        const QDir fds(proc.filePath(entry + QStringLiteral("/fd")));
        for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds.filePath(fd)) != target)
                continue;
            QFile comm(proc.filePath(entry + QStringLiteral("/comm")));
            if (comm.open(QIODevice::ReadOnly))
                trouble.holder = QString::fromLocal8Bit(comm.readAll()).trimmed();
            trouble.pid = pid;
            return;
        }
    }
}

QString advice(const PortTrouble& trouble)
{
    if (isPermissionError(trouble.error))
        return QStringLiteral("%1 is there, but you may not open it (it belongs to the group %2): "
                              "add yourself to the group %2: sudo usermod -aG %2 $USER, then log out and in.")
            .arg(trouble.device, trouble.group);
    if (isBusyError(trouble.error)) {
        const QString who = trouble.pid
                                ? QStringLiteral("%1 (process %2)").arg(trouble.holder).arg(trouble.pid)
                                : QStringLiteral("another program");
        return QStringLiteral("%1 is held by %2: close it, or wait until it lets the port go, and try again.")
            .arg(trouble.device, who);
    }
    return QStringLiteral("%1 cannot be opened: %2.").arg(trouble.device, systemErrorText(trouble.error));
}

} // namespace

std::optional<PortTrouble> DiagnosePort(const QString& device)
{
    int error = 0;
    const int fd = openExclusive(device, error);
    if (fd >= 0) {
        closeExclusive(fd);
        return std::nullopt;
    }
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        return std::nullopt;
    PortTrouble trouble{device, error, {}, {}, 0};
    if (isPermissionError(error))
        trouble.group = groupOf(device);
    if (isBusyError(error))
        findHolder(trouble);
    return trouble;
}

QList<PortTrouble> DiagnoseUnopenablePorts(const QString& ownPort)
{
    const QString own = QFileInfo(ownPort).canonicalFilePath();
    // Built-in serial ports (ttyS*) are left out: most have no hardware behind
    // them, and a board is never one of them.
    QStringList devices;
    for (const char* pattern : {"ttyACM*", "ttyUSB*"})
        for (const QString& name :
             QDir(QStringLiteral("/dev")).entryList({QString::fromLatin1(pattern)}, QDir::System))
            devices.append(QStringLiteral("/dev/") + name);
    const QDir published(PublishedPortsFolder());
    for (const QString& name : published.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        devices.append(published.filePath(name));

    QList<PortTrouble> troubles;
    for (const QString& device : devices)
        if (own.isEmpty() || QFileInfo(device).canonicalFilePath() != own)
            if (const auto trouble = DiagnosePort(device);
                trouble && (isPermissionError(trouble->error) || isBusyError(trouble->error)))
                troubles.append(*trouble);
    return troubles;
}

QString AdviceParagraph(const QList<PortTrouble>& troubles)
{
    QStringList sentences;
    for (const PortTrouble& trouble : troubles)
        sentences.append(advice(trouble));
    return sentences.join(QLatin1Char('\n'));
}
