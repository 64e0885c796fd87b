// Parameter files: what the parameter screen shows, saved as readable JSON and
// loaded back. A file is checked whole, with the rules "Write Parameters"
// applies, before anything on the screen changes.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>

namespace Params {

struct ParameterField;

struct ParameterFileContent {
    QMap<QString, QString> edits; // edit objectName -> its text
    std::optional<int> defaultBank;
    int frequencyMode = 0;
    QString release;
    QString serialNumber;
    QDateTime saved;
};

struct ParameterFileResult {
    std::optional<ParameterFileContent> content;
    QString error; // why the file was refused, naming the first bad entry
};

// "bank2.clash.green", "bank1.flicker.red", "calibration.vertical"; empty for a
// field that is not a setting (the old serial number).
QString FileKey(const ParameterField& field);

// What "Save..." writes for a screen, whether a window shows it or a read of the
// board stands for it: each edit's text (`textOf` by objectName), the selected
// default bank and frequency mode (Evo when no button is selected, as "Write
// Parameters" sends it), the release and serial number of the header, and now.
ParameterFileContent ScreenFileContent(const std::function<QString(const QString& edit)>& textOf,
                                       std::optional<int> defaultBank, std::optional<int> frequencyMode,
                                       const QString& release, const QString& serialNumber);

QByteArray WriteParameterFile(const ParameterFileContent& content);
ParameterFileResult ReadParameterFile(const QByteArray& bytes);

// The object a parameter file holds, for files that carry one inside: `at` is
// its key there, so that a refusal names the entry by its whole path
// ("Entry \"parameters.bank2.clash.green\": ..."); empty for a parameter file.
// A parameter file is read as "Save..." wrote it: a value that is not a number
// comes back as the text it was, to be named. Inside a board profile, written
// to be applied, only numbers and the entries of the format are taken, and the
// calibration may be left out.
enum class ParameterReading { AsSaved, Strict };
QJsonObject ParameterFileObject(const ParameterFileContent& content);
ParameterFileResult ReadParameterObject(const QJsonObject& root, const QString& at = {},
                                        ParameterReading reading = ParameterReading::AsSaved);

} // namespace Params
