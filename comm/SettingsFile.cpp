#include "comm/SettingsFile.h"

#include "common/Define.h"
#include "common/FileWriting.h"
#include "common/Framework.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
const char* const LINE_END = "\r\n";
constexpr qint64 LINE_END_BYTES = 2;

struct Line {
    QString text;
    bool tooLong = false;
};

// The next piece of a line: up to its end, at most `bytes` bytes.
QByteArray readPiece(QFile& file, qint64 bytes)
{
    QByteArray piece(bytes + 1, Qt::Uninitialized); // room for the terminating 0
    piece.resize(std::max<qint64>(file.readLine(piece.data(), piece.size()), 0));
    return piece;
}

Line readLine(QFile& file)
{
    QByteArray line = readPiece(file, Define::SETTINGS_LINE_MAX + LINE_END_BYTES);
    // A piece that did not reach the end of its line: skip the rest of the line
    // (the end of the file or a read error ends it too).
    for (QByteArray piece = line; !piece.isEmpty() && !piece.endsWith('\n');)
        piece = readPiece(file, Define::SETTINGS_LINE_MAX);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return {QString::fromLocal8Bit(line), line.size() > Define::SETTINGS_LINE_MAX};
}
} // namespace

SettingsRead ReadSettingsFile(const QString& path)
{
    SettingsRead read;
    if (!QFileInfo::exists(path))
        return read;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        read.saved.port = readLine(file).text;
        const Line index = readLine(file);
        read.saved.indexText = index.text;
        read.saved.indexTooLong = index.tooLong;
    }
    const bool failed = file.error() != QFileDevice::NoError;
    read.status = failed ? SettingsRead::Status::Unreadable : SettingsRead::Status::Read;
    if (failed)
        read.reason = file.errorString();
    return read;
}

int SavedIndex(const SavedPort& saved)
{
    if (saved.indexTooLong)
        throw NotAnInteger(saved.indexText);
    return StrToInt(saved.indexText);
}

QString WriteSettingsFile(const QString& path, const QString& port, int index)
{
    // Written to a temporary file and renamed, so a full disk or a crash never
    // leaves a half-written settings file behind. The installation folder is
    // the administrator's while the file is everyone's: there it is rewritten
    // over its own bytes, which a full disk cannot spoil but a crash could.
    return WriteWholeFile(path, port.toLocal8Bit() + LINE_END + QByteArray::number(index) + LINE_END,
                          WhenFolderIsClosed::WriteInPlace);
}
