// The readable JSON files of this tool (parameter files, board profiles) are
// read the same way: bounded in size, so that a wrong pick (a sound, a firmware
// image) is never read whole, and refused with where the JSON breaks.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

struct JsonFileRead {
    QJsonObject root; // empty for a document that is not an object: its missing "format" refuses it
    QString error;    // set: the file is refused
};

// Far above any real file of ours.
inline constexpr qsizetype MAX_JSON_FILE_BYTES = 1 << 20;

// `kind` completes "The file is too large to be %1." ("a parameter file").
JsonFileRead ReadJsonFile(const QByteArray& bytes, const QString& kind);

// What a file of ours says it is: its "format" and "version" entries.
struct JsonFormat {
    QString name;        // the "format" entry: "tavrin-board-profile"
    int version;         // the version this program reads
    QString kind;        // "board profile": "The file is not a Tavrin Manager board profile."
    QString versionName; // "board profile format": "The file has board profile format version 2; ..."
};

inline const QString JSON_FORMAT_KEY = QStringLiteral("format");
inline const QString JSON_VERSION_KEY = QStringLiteral("version");

// Why `root` is not a file of `format` in the version this program reads, empty
// when it is. `subject` is what the message speaks of: "The file", or for an
// object inside another file its entry ("Entry \"parameters\"").
QString FormatRefusal(const QJsonObject& root, const JsonFormat& format, const QString& subject);
