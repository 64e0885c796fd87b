#include "common/JsonFile.h"

#include <QJsonDocument>

JsonFileRead ReadJsonFile(const QByteArray& bytes, const QString& kind)
{
    if (bytes.size() > MAX_JSON_FILE_BYTES)
        return {{}, QStringLiteral("The file is too large to be %1.").arg(kind)};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {{},
                QStringLiteral("The file is damaged: %1 at byte %2.")
                    .arg(parseError.errorString())
                    .arg(parseError.offset)};
    return {document.object(), {}};
}

QString FormatRefusal(const QJsonObject& root, const JsonFormat& format, const QString& subject)
{
    if (root.value(JSON_FORMAT_KEY).toString() != format.name)
        return QStringLiteral("%1 is not a Tavrin Manager %2.").arg(subject, format.kind);
    const QJsonValue version = root.value(JSON_VERSION_KEY);
    if (version.isUndefined())
        return QStringLiteral("%1 gives no %2 version; this program reads version %3.")
            .arg(subject, format.versionName)
            .arg(format.version);
    if (!version.isDouble())
        return QStringLiteral("%1 gives its %2 version as %3; this program reads version %4, a number "
                              "written without quotes.")
            .arg(subject, format.versionName,
                 version.isString() ? QStringLiteral("\"%1\"").arg(version.toString())
                                    : QStringLiteral("something that is not a number"))
            .arg(format.version);
    if (version.toInt() != format.version)
        return QStringLiteral("%1 has %2 version %3; this program reads version %4.")
            .arg(subject, format.versionName, root.value(JSON_VERSION_KEY).toVariant().toString())
            .arg(format.version);
    return {};
}
