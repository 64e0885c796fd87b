#include "params/ParameterFile.h"

#include "common/Define.h"
#include "common/Framework.h"
#include "common/JsonFile.h"
#include "params/ParameterLayout.h"
#include "params/ParameterWriter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <climits>

namespace Params {

namespace {

constexpr int FORMAT_VERSION = 1;
const JsonFormat FORMAT{QStringLiteral("Tavrin Manager parameters"), FORMAT_VERSION,
                        QStringLiteral("parameter file"), QStringLiteral("format")};
const QString SAVED_KEY = QStringLiteral("saved");
const QString RELEASE_KEY = QStringLiteral("release");
const QString SERIAL_KEY = QStringLiteral("serialNumber");
const QString DEFAULT_BANK_KEY = QStringLiteral("defaultBank");
const QString FREQUENCY_KEY = QStringLiteral("frequencyMode");
const QString PARAMETERS_KEY = QStringLiteral("parameters");
// Every entry of the object, as ParameterFileObject writes it.
const QStringList OBJECT_KEYS = {JSON_FORMAT_KEY, JSON_VERSION_KEY, SAVED_KEY,    RELEASE_KEY, SERIAL_KEY,
                                 DEFAULT_BANK_KEY, FREQUENCY_KEY,   PARAMETERS_KEY};

QString rowWord(Row row)
{
    switch (row) {
    case Row::Guard:
        return QStringLiteral("guard");
    case Row::Swing:
        return QStringLiteral("swing");
    case Row::Clash:
        return QStringLiteral("clash");
    case Row::PowerClash:
        return QStringLiteral("powerClash");
    case Row::None:
        break;
    }
    return {};
}

// The column's part of a key; flicker colours belong to the bank, not to a row.
std::pair<QString, bool> columnWord(Column column)
{
    switch (column) {
    case Column::R:
        return {QStringLiteral("red"), false};
    case Column::G:
        return {QStringLiteral("green"), false};
    case Column::B:
        return {QStringLiteral("blue"), false};
    case Column::W:
        return {QStringLiteral("white"), false};
    case Column::Sensibility:
        return {QStringLiteral("sensitivity"), false};
    case Column::Duration:
        return {QStringLiteral("duration"), false};
    case Column::Rf:
        return {QStringLiteral("flicker.red"), true};
    case Column::Gf:
        return {QStringLiteral("flicker.green"), true};
    case Column::Bf:
        return {QStringLiteral("flicker.blue"), true};
    case Column::Wf:
        return {QStringLiteral("flicker.white"), true};
    case Column::Vertical:
        return {QStringLiteral("calibration.vertical"), true};
    case Column::Horizontal:
        return {QStringLiteral("calibration.horizontal"), true};
    case Column::OldSerial:
        break;
    }
    return {};
}

ParameterFileResult refused(const QString& why)
{
    return {std::nullopt, why};
}

// Where an entry sits: its key alone in a parameter file, behind the key of the
// object that holds the parameters in a larger file ("parameters.bank2.clash.green").
struct EntryPath {
    QString at;
    QString operator()(const QString& key) const { return at.isEmpty() ? key : at + QLatin1Char('.') + key; }
};

// What a refusal of the object as a whole speaks of.
QString subject(const QString& at)
{
    return at.isEmpty() ? QStringLiteral("The file") : QStringLiteral("Entry \"%1\"").arg(at);
}

bool isInteger(const QJsonValue& value)
{
    return value.isDouble() && value.toDouble() == static_cast<double>(value.toInteger());
}

} // namespace

QString FileKey(const ParameterField& field)
{
    const auto [column, ownsRow] = columnWord(field.column);
    if (column.isEmpty())
        return {};
    if (field.bank == 0)
        return column;
    const QString bank = QStringLiteral("bank%1.").arg(field.bank);
    return ownsRow ? bank + column : bank + rowWord(field.row) + QLatin1Char('.') + column;
}

ParameterFileContent ScreenFileContent(const std::function<QString(const QString& edit)>& textOf,
                                       std::optional<int> defaultBank, std::optional<int> frequencyMode,
                                       const QString& release, const QString& serialNumber)
{
    ParameterFileContent content;
    for (const ParameterField& field : parameterFields())
        content.edits.insert(field.editName(), textOf(field.editName()));
    content.defaultBank = defaultBank;
    content.frequencyMode = frequencyMode.value_or(Define::FREQUENCY_EVO);
    content.release = release;
    content.serialNumber = serialNumber;
    content.saved = QDateTime::currentDateTime();
    return content;
}

QJsonObject ParameterFileObject(const ParameterFileContent& content)
{
    QJsonObject parameters;
    for (const ParameterField& field : parameterFields()) {
        const QString key = FileKey(field);
        if (key.isEmpty() || !content.edits.contains(field.editName()))
            continue;
        // A value that is not a number is kept as the text it is, so nothing the
        // screen showed is lost; loading it back names it.
        const QString text = content.edits.value(field.editName());
        int value = 0;
        parameters.insert(key, TryStrToInt(text, value) ? QJsonValue(value) : QJsonValue(text));
    }
    QJsonObject root{
        {JSON_FORMAT_KEY, FORMAT.name},
        {JSON_VERSION_KEY, FORMAT.version},
        {SAVED_KEY, content.saved.toString(Qt::ISODate)},
        {RELEASE_KEY, content.release},
        {SERIAL_KEY, content.serialNumber},
        {DEFAULT_BANK_KEY, content.defaultBank ? QJsonValue(*content.defaultBank) : QJsonValue()},
        {FREQUENCY_KEY, content.frequencyMode},
        {PARAMETERS_KEY, parameters},
    };
    return root;
}

QByteArray WriteParameterFile(const ParameterFileContent& content)
{
    return QJsonDocument(ParameterFileObject(content)).toJson(QJsonDocument::Indented);
}

ParameterFileResult ReadParameterFile(const QByteArray& bytes)
{
    const JsonFileRead read = ReadJsonFile(bytes, QStringLiteral("a parameter file"));
    if (!read.error.isEmpty())
        return refused(read.error);
    return ReadParameterObject(read.root);
}

ParameterFileResult ReadParameterObject(const QJsonObject& root, const QString& at, ParameterReading reading)
{
    const EntryPath named{at};
    const bool strict = reading == ParameterReading::Strict;
    if (const QString refusal = FormatRefusal(root, FORMAT, subject(at)); !refusal.isEmpty())
        return refused(refusal);
    if (strict)
        for (auto it = root.begin(); it != root.end(); ++it)
            if (!OBJECT_KEYS.contains(it.key()))
                return refused(QStringLiteral("Entry \"%1\" is not part of the parameters.").arg(named(it.key())));

    ParameterFileContent content;
    content.release = root.value(RELEASE_KEY).toString();
    content.serialNumber = root.value(SERIAL_KEY).toString();
    content.saved = QDateTime::fromString(root.value(SAVED_KEY).toString(), Qt::ISODate);

    const QJsonValue bank = root.value(DEFAULT_BANK_KEY);
    if (!bank.isNull() && !bank.isUndefined()) {
        if (!isInteger(bank) || bank.toInt() < Define::BANK1 || bank.toInt() > Define::BANK3)
            return refused(QStringLiteral("Entry \"%1\" must be 1, 2 or 3.").arg(named(DEFAULT_BANK_KEY)));
        content.defaultBank = bank.toInt();
    }
    // A byte no mode stands for is what a board held when the file was saved:
    // it comes back as it is, to be written back only as the user's choice.
    const QJsonValue frequency = root.value(FREQUENCY_KEY);
    if (!isInteger(frequency) || frequency.toInt() < 0 || frequency.toInt() > UCHAR_MAX)
        return refused(QStringLiteral("Entry \"%1\" must be %2, %3 or %4, or a byte a board held (0 to %5).")
                           .arg(named(FREQUENCY_KEY))
                           .arg(Define::FREQUENCY_STD)
                           .arg(Define::FREQUENCY_MED)
                           .arg(Define::FREQUENCY_EVO)
                           .arg(UCHAR_MAX));
    content.frequencyMode = frequency.toInt();

    const QJsonObject parameters = root.value(PARAMETERS_KEY).toObject();
    QSet<QString> known;
    for (const ParameterField& field : parameterFields()) {
        const QString key = FileKey(field);
        if (key.isEmpty())
            continue;
        known.insert(key);
        const QJsonValue entry = parameters.value(key);
        if (entry.isUndefined() && strict && field.isCalibration())
            continue; // a profile carries a calibration only when asked to
        if (entry.isUndefined())
            return refused(QStringLiteral("Entry \"%1\" is missing.").arg(named(key)));
        if (strict && !entry.isDouble())
            return refused(QStringLiteral("Entry \"%1\" must be a number, written without quotes.").arg(named(key)));
        const QString text = entry.isString() ? entry.toString() : entry.toVariant().toString();
        int value = 0;
        if (const auto refusal = CheckFieldText(field, text, value))
            return refused(QStringLiteral("Entry \"%1\": %2").arg(named(key), refusal->message));
        content.edits.insert(field.editName(), QString::number(value));
    }
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        if (!known.contains(it.key()))
            return refused(
                QStringLiteral("Entry \"%1\" is not a parameter of this board.").arg(named(it.key())));
    return {std::move(content), {}};
}

} // namespace Params
