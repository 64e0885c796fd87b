#include "SimBoard.h"

#include "common/Define.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int STOP_TIMEOUT_MS = 10000;
constexpr char LINE_END = '\n';
constexpr qsizetype MAX_REPLY = 65536;
constexpr int READ_CHUNK = 1024;
constexpr QLatin1StringView OK_PREFIX("ok ");

// Connects to a Unix socket; -1 on failure.
int connectUnix(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    if (encoded.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return -1;
    address.sun_family = AF_UNIX;
    std::copy(encoded.cbegin(), encoded.cend(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray readLine(int fd, int timeoutMs)
{
    QByteArray reply;
    QElapsedTimer elapsed;
    elapsed.start();
    while (!reply.contains(LINE_END) && reply.size() < MAX_REPLY) {
        const qint64 left = timeoutMs - elapsed.elapsed();
        if (left <= 0)
            return {};
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[READ_CHUNK];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return {};
        reply.append(buffer, n);
    }
    return reply.left(reply.indexOf(LINE_END));
}

} // namespace

SimBoard::SimBoard()
    : SimBoard(Options())
{
}

SimBoard::SimBoard(const Options& options)
    : m_name(options.name)
{
    if (options.portsDir.isEmpty()) {
        m_tempDir = std::make_unique<QTemporaryDir>();
        m_portsDir = m_tempDir->path();
    } else {
        m_portsDir = options.portsDir;
    }
    m_process = std::make_unique<QProcess>();
    if (m_errorLog.open())
        m_process->setStandardErrorFile(m_errorLog.fileName());
    m_process->setProgram(QStringLiteral(KORDEX_SIM_PATH));
    QStringList arguments{QStringLiteral("--dir"), m_portsDir, QStringLiteral("--name"), m_name};
    if (options.strict)
        arguments << QStringLiteral("--strict");
    m_process->setArguments(arguments + options.arguments);
    m_process->start();
    if (!m_process->waitForStarted(START_TIMEOUT_MS) || !waitForPublishedPath())
        m_portPath.clear();
}

SimBoard::~SimBoard()
{
    stop();
}

bool SimBoard::waitForPublishedPath()
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!m_process->canReadLine()) {
        if (m_process->state() != QProcess::Running || elapsed.elapsed() > START_TIMEOUT_MS)
            return false;
        m_process->waitForReadyRead(static_cast<int>(START_TIMEOUT_MS - elapsed.elapsed()));
    }
    m_portPath = QString::fromLocal8Bit(m_process->readLine()).trimmed();
    return !m_portPath.isEmpty();
}

bool SimBoard::isRunning() const
{
    return !m_portPath.isEmpty() && m_process->state() == QProcess::Running;
}

QString SimBoard::errorOutput() const
{
    QFile log(m_errorLog.fileName());
    return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
}

QString SimBoard::controlPath() const
{
    return QDir(m_portsDir).filePath(m_name + QStringLiteral(".ctl"));
}

qint64 SimBoard::processId() const
{
    return m_process->processId();
}

QString SimBoard::control(const QString& command, int timeoutMs) const
{
    const int fd = connectUnix(controlPath());
    if (fd < 0)
        return {};
    QByteArray reply;
    if (sendAll(fd, command.toUtf8() + LINE_END))
        reply = readLine(fd, timeoutMs);
    ::close(fd);
    return QString::fromUtf8(reply);
}

bool SimBoard::controlOk(const QString& command) const
{
    return control(command).startsWith(QLatin1String("ok"));
}

int SimBoard::param(int address) const
{
    return number(QStringLiteral("param %1").arg(address));
}

bool SimBoard::setParam(int address, int value) const
{
    return controlOk(QStringLiteral("param %1 %2").arg(address).arg(value));
}

bool SimBoard::setRunningSerial(int running) const
{
    constexpr int HIGH_ADDRESS = 106; // then the low byte
    constexpr int BYTE_BITS = 8;
    constexpr int LOW_BYTE = 0xFF;
    return setParam(HIGH_ADDRESS, running >> BYTE_BITS) && setParam(HIGH_ADDRESS + 1, running & LOW_BYTE);
}

int SimBoard::mode() const
{
    return number(QStringLiteral("mode"));
}

int SimBoard::busyMs() const
{
    return number(QStringLiteral("busy"));
}

int SimBoard::number(const QString& command) const
{
    const QString reply = control(command);
    bool valid = false;
    const int value = reply.section(QLatin1Char(' '), 1, 1).toInt(&valid);
    return reply.startsWith(OK_PREFIX) && valid ? value : -1;
}

QString SimBoard::portState() const
{
    const QString reply = control(QStringLiteral("port"));
    return reply.startsWith(OK_PREFIX) ? reply.section(QLatin1Char(' '), 1, 1) : QString();
}

QMap<QString, qint64> SimBoard::counters() const
{
    QMap<QString, qint64> values;
    const QString reply = control(QStringLiteral("counters"));
    if (!reply.startsWith(OK_PREFIX))
        return values;
    const QStringList fields = reply.mid(OK_PREFIX.size()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& field : fields)
        values.insert(field.section(QLatin1Char('='), 0, 0), field.section(QLatin1Char('='), 1).toLongLong());
    return values;
}

QByteArray SimBoard::dump(const QString& what) const
{
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("sim-dump-XXXXXX")));
    if (!file.open())
        return {};
    if (!controlOk(QStringLiteral("dump %1 %2").arg(what, file.fileName())))
        return {};
    QFile written(file.fileName());
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}

bool SimBoard::stop()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return m_process && m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
    m_process->terminate(); // SIGTERM: the simulator removes its link and socket
    if (!m_process->waitForFinished(STOP_TIMEOUT_MS)) {
        m_process->kill();
        m_process->waitForFinished(STOP_TIMEOUT_MS);
        return false;
    }
    return m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
}

int SimBoard::valueWrites(const QByteArray& received)
{
    // "#1", the address, the value: a write frame.
    constexpr qsizetype ADDRESS_OFFSET = 2;
    int writes = 0;
    for (qsizetype at = received.indexOf("#1"); at >= 0 && at + ADDRESS_OFFSET < received.size();
         at = received.indexOf("#1", at + 1))
        writes += received.at(at + ADDRESS_OFFSET) != Define::ADDR_STATO_TAVRIN;
    return writes;
}

QByteArray SimBoard::receivedBytes(const QString& logPath)
{
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 3 && fields[1] == "RX")
            for (qsizetype i = 2; i < fields.size(); ++i)
                bytes += QByteArray::fromHex(fields[i]);
    }
    return bytes;
}

QList<SimBoard::SentMessage> SimBoard::sentMessages(const QString& recordPath)
{
    // "<ms> <kind> <bytes in hexadecimal>"
    constexpr qsizetype FIRST_BYTE_FIELD = 2;
    QFile record(recordPath);
    if (!record.open(QIODevice::ReadOnly))
        return {};
    QList<SentMessage> messages;
    for (const QByteArray& line : record.readAll().split(LINE_END)) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() <= FIRST_BYTE_FIELD)
            continue;
        SentMessage message{fields[0].toLongLong(), QString::fromLatin1(fields[1]), {}};
        for (qsizetype i = FIRST_BYTE_FIELD; i < fields.size(); ++i)
            message.bytes += QByteArray::fromHex(fields[i]);
        messages << message;
    }
    return messages;
}

QByteArray SimBoard::sentBytes(const QString& recordPath)
{
    QByteArray bytes;
    for (const SentMessage& message : sentMessages(recordPath))
        bytes += message.bytes;
    return bytes;
}
