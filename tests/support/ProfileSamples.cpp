#include "ProfileSamples.h"

#include "params/ParameterLayout.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>

using namespace Params;

namespace ProfileSamples {

ParameterFileContent AllOnes()
{
    ParameterFileContent content;
    for (const ParameterField& field : parameterFields())
        if (!FileKey(field).isEmpty() && !field.isCalibration())
            content.edits.insert(field.editName(), QStringLiteral("1"));
    content.defaultBank = 3;
    content.frequencyMode = 1;
    content.release = QStringLiteral("16.0");
    content.serialNumber = QStringLiteral("1523-0300");
    content.saved = QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC);
    return content;
}

QByteArray ProfileWith(const QJsonObject& entries)
{
    QJsonObject root{{"format", "tavrin-board-profile"},
                     {"version", 1},
                     {"parameters", QJsonDocument::fromJson(WriteParameterFile(AllOnes())).object()}};
    for (auto it = entries.begin(); it != entries.end(); ++it)
        root.insert(it.key(), it.value());
    return QJsonDocument(root).toJson();
}

Sound::JournalEntry Known(int slot, const QString& file, const QString& checksum, const QString& sentChecksum)
{
    const QDateTime written(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    return {slot, file, checksum, QStringLiteral("/fonts/") + file, sentChecksum, written};
}

QString Sha256Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
}

QStringList Lines(const QList<ProfileDifference>& differences)
{
    QStringList out;
    for (const ProfileDifference& d : differences)
        out << QStringLiteral("%1 | %2 | %3 | %4").arg(d.key, d.profile, d.board, SourceText(d.source));
    return out;
}

} // namespace ProfileSamples
