#include "common/FileWriting.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <functional>

namespace {

WriteFaults* installedFaults = nullptr;

// Runs one step of writing the file; its failure, injected or the system's, is
// returned as the reason, empty when the step succeeded.
QString stepFailure(WriteStep step, const QString& path, const QFileDevice& file,
                    const std::function<bool()>& action)
{
    if (const int error = installedFaults ? installedFaults->failure(step, path) : 0)
        return QString::fromLocal8Bit(std::strerror(error));
    return action() ? QString() : file.errorString();
}

// A device or a pipe (/dev/stdout, /dev/full) holds no old content to keep, and
// a rename beside it would replace the device node itself.
bool isDevice(const QString& path)
{
    const QFileInfo target(path);
    return target.exists() && !target.isFile() && !target.isDir();
}

QString writeToDevice(const QString& path, const QByteArray& content)
{
    GrowingFile device;
    if (device.open(path) && device.write(content) && device.close())
        return {};
    return device.errorString();
}

} // namespace

void setWriteFaults(WriteFaults* faults)
{
    installedFaults = faults;
}

QString WriteWholeFile(const QString& path, const QByteArray& content, WhenFolderIsClosed closedFolder)
{
    if (isDevice(path))
        return writeToDevice(path, content);
    QSaveFile file(path);
    // Written in place, a failure halfway leaves a short file that cancelWriting()
    // cannot restore: the price of a folder where no temporary file may be made.
    file.setDirectWriteFallback(closedFolder == WhenFolderIsClosed::WriteInPlace);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QString failure =
        stepFailure(WriteStep::Write, path, file, [&] { return file.write(content) == content.size(); });
    if (failure.isEmpty())
        failure = stepFailure(WriteStep::Flush, path, file, [&] { return file.flush(); });
    if (failure.isEmpty())
        failure = stepFailure(WriteStep::Commit, path, file, [&] { return file.commit(); });
    // The temporary file goes; the old file was never touched.
    if (!failure.isEmpty())
        file.cancelWriting();
    return failure;
}

bool GrowingFile::open(const QString& path)
{
    close();
    m_error.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(m_file.errorString());
    return true;
}

bool GrowingFile::write(const QByteArray& bytes)
{
    if (!isOpen())
        return false;
    const QString failure = stepFailure(WriteStep::Write, fileName(), m_file,
                                        [&] { return m_file.write(bytes) == bytes.size(); });
    return failure.isEmpty() || fail(failure);
}

bool GrowingFile::flush()
{
    if (!isOpen())
        return false;
    const QString failure = stepFailure(WriteStep::Flush, fileName(), m_file, [&] { return m_file.flush(); });
    return failure.isEmpty() || fail(failure);
}

bool GrowingFile::close()
{
    if (!isOpen())
        return true;
    const QString failure = stepFailure(WriteStep::Commit, fileName(), m_file, [&] {
        if (!m_file.flush())
            return false;
        m_file.close();
        return m_file.error() == QFileDevice::NoError;
    });
    return failure.isEmpty() || fail(failure);
}

bool GrowingFile::fail(const QString& reason)
{
    m_error = reason;
    m_file.close();
    return false;
}
