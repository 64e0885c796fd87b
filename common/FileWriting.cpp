#include "common/FileWriting.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

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

// A file every user may rewrite in a folder that is the administrator's: no
// temporary file can be made beside it.
bool folderIsClosed(const QString& path)
{
    const QFileInfo target(path);
    return target.isFile() && ::access(QFile::encodeName(target.absolutePath()).constData(), W_OK) != 0;
}

// Rewrites the file over its own bytes. Room for the new content is taken
// first, so a full disk refuses before a byte of the old file changes; the file
// is then overwritten and cut to its new length. A crash or a lost medium
// halfway still leaves it damaged: the price of a folder where no temporary
// file may be made.
QString rewriteInPlace(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 oldSize = file.size();
    int refused = 0;
    QString failure = stepFailure(WriteStep::Write, path, file, [&] {
        refused = content.isEmpty() ? 0 : ::posix_fallocate(file.handle(), 0, content.size());
        return refused == 0 && file.write(content) == content.size();
    });
    if (refused != 0)
        failure = QString::fromLocal8Bit(std::strerror(refused));
    if (!failure.isEmpty()) {
        file.resize(oldSize); // gives back what the reservation added
        return failure;
    }
    failure = stepFailure(WriteStep::Flush, path, file, [&] { return file.flush(); });
    if (failure.isEmpty())
        failure = stepFailure(WriteStep::Commit, path, file, [&] {
            if (!file.resize(content.size()))
                return false;
            file.close();
            return file.error() == QFileDevice::NoError;
        });
    return failure;
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
    if (closedFolder == WhenFolderIsClosed::WriteInPlace && folderIsClosed(path))
        return rewriteInPlace(path, content);
    QSaveFile file(path);
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
