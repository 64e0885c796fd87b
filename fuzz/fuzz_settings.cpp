// The settings file, whatever it holds: read, its index converted, and the
// values read written back and read again unchanged.
//
// Input: the file's bytes.
#include "FuzzInput.h"

#include "comm/SettingsFile.h"
#include "common/Define.h"
#include "common/Framework.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <limits>

namespace {

const QString& settingsPath()
{
    static const QTemporaryDir folder;
    static const QString path = folder.path() + QStringLiteral("/COM_1.INI");
    return path;
}

void writeFile(const QByteArray& bytes)
{
    QFile file(settingsPath());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

// A line as read: never its line end, never more than the longest setting and its line end.
void checkLine(const QString& line)
{
    const QByteArray bytes = line.toLocal8Bit();
    FUZZ_CHECK(!line.contains(QLatin1Char('\n')) && !line.endsWith(QLatin1Char('\r')));
    FUZZ_CHECK(QString::fromLocal8Bit(bytes) == line);
    // Cut bytes of a character may turn into a longer stand-in character.
    FUZZ_CHECK(line.size() <= Define::SETTINGS_LINE_MAX + 2);
}

std::optional<int> savedIndex(const SavedPort& saved)
{
    try {
        return SavedIndex(saved);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeFile(QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const SettingsRead read = ReadSettingsFile(settingsPath());
    FUZZ_CHECK(read.status == SettingsRead::Status::Read);
    checkLine(read.saved.port);
    checkLine(read.saved.indexText);
    // A whole number with an optional sign, blanks around it, within an int.
    const std::optional<int> index = savedIndex(read.saved);
    const QString trimmed = read.saved.indexText.trimmed();
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    bool ok = false;
    const qint64 wide = trimmed.toLongLong(&ok);
    const bool fits = whole.match(trimmed).hasMatch() && ok && wide >= std::numeric_limits<int>::min() &&
                      wide <= std::numeric_limits<int>::max();
    FUZZ_CHECK(index.has_value() == (fits && !read.saved.indexTooLong));
    FUZZ_CHECK(!index || *index == wide);

    // What the tool would save again comes back as it was.
    if (read.saved.port.toLocal8Bit().size() > Define::SETTINGS_LINE_MAX)
        return 0;
    const int written = index.value_or(static_cast<int>(size));
    FUZZ_CHECK(WriteSettingsFile(settingsPath(), read.saved.port, written).isEmpty());
    const SettingsRead again = ReadSettingsFile(settingsPath());
    FUZZ_CHECK(again.status == SettingsRead::Status::Read);
    FUZZ_CHECK(again.saved.port == read.saved.port);
    FUZZ_CHECK(savedIndex(again.saved) == written);
    return 0;
}
