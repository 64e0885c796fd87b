#include "params/Verification.h"

#include "common/Define.h"
#include "params/ParameterLayout.h"

namespace Params {

namespace {

const QString NO_ANSWER = QStringLiteral("no answer");

QList<int> addressesOf(const QList<ParameterWrite>& writes)
{
    QList<int> addresses;
    for (const ParameterWrite& write : writes)
        addresses.append(write.address);
    return addresses;
}

QString frequencyCaption(int value)
{
    static const std::pair<const char*, const char*> captions[] = {
        {"frequencyStdButton", "Std"}, {"frequencyMedButton", "Med"}, {"frequencyEvoButton", "Evo"}};
    if (const char* button = frequencyButtons().buttonFor(value))
        for (const auto& [name, caption] : captions)
            if (qstrcmp(name, button) == 0)
                return QString::fromLatin1(caption);
    return QString::number(value);
}

// The text the screen shows for the bytes of one value; `byteAt` gives each
// byte of the value, nothing when it is unknown.
std::optional<QString> shownText(int address, const std::function<std::optional<quint8>(int)>& byteAt)
{
    if (const ParameterField* field = fieldAtAddress(address)) {
        if (!field->isPair()) {
            const std::optional<quint8> v = byteAt(address);
            if (!v)
                return std::nullopt;
            const bool substitute = *v == Define::PARAMETER_NOT_SET && field->notSetShownAs;
            return QString::number(substitute ? *field->notSetShownAs : *v);
        }
        const std::optional<quint8> high = byteAt(field->highAddress());
        const std::optional<quint8> low = byteAt(field->lowAddress());
        if (!high || !low)
            return std::nullopt;
        const auto value = static_cast<std::uint16_t>((*high << 8) | *low);
        return field->isSigned() ? QString::number(static_cast<std::int16_t>(value)) : QString::number(value);
    }
    const std::optional<quint8> v = byteAt(address);
    if (!v)
        return std::nullopt;
    if (address == Define::ADDR_FREQUENCY_MODE)
        return frequencyCaption(*v);
    return QString::number(*v);
}

} // namespace

QString VerifyResult::summary() const
{
    return QStringLiteral("%1 of %2 values verified").arg(verified).arg(total);
}

QStringList VerifyResult::lines(const QString& expectedWord) const
{
    QStringList out;
    for (const VerifyDifference& difference : differences)
        out.append(QStringLiteral("%1: %2 %3, board %4")
                       .arg(difference.name, expectedWord, difference.expected, difference.board));
    return out;
}

QString VerifyResult::message(const QString& expectedWord) const
{
    if (ok())
        return QStringLiteral("Verify: the board holds every value the %1 shows (%2).").arg(expectedWord, summary());
    return QStringLiteral("Verify: %1. Where the %2 and the board differ:\n%3")
        .arg(summary(), expectedWord, lines(expectedWord).join(QLatin1Char('\n')));
}

VerifyResult CompareWithBoard(const QList<ParameterWrite>& expected,
                              const std::function<std::optional<quint8>(int address)>& boardValue)
{
    VerifyResult result;
    result.total = static_cast<int>(expected.size());
    const auto expectedByte = [&expected](int address) -> std::optional<quint8> {
        for (const ParameterWrite& write : expected)
            if (write.address == address)
                return write.value;
        return std::nullopt;
    };
    QList<int> compared;
    for (const ParameterWrite& write : expected) {
        if (compared.contains(write.address))
            continue;
        QList<int> group;
        for (int address : addressesDecodedTogether(write.address))
            if (expectedByte(address))
                group.append(address);
        compared.append(group);
        const std::optional<QString> wanted = shownText(write.address, expectedByte);
        const std::optional<QString> held = shownText(write.address, boardValue);
        if (wanted && held && *wanted == *held) {
            result.verified += static_cast<int>(group.size());
            continue;
        }
        const QString name = shownValueName(write.address);
        result.differences.append({name.isEmpty() ? QStringLiteral("Address %1").arg(write.address) : name,
                                   wanted.value_or(QString::number(write.value)), held.value_or(NO_ANSWER),
                                   group});
    }
    return result;
}

Verification::Verification(BoardLink& link, QList<ParameterWrite> expected, const QString& expectedWord,
                           QObject* parent)
    : ReadSweep(link, QStringLiteral("Verify"), addressesOf(expected), false, parent)
    , m_expected(std::move(expected))
    , m_expectedWord(expectedWord)
{
}

QString Verification::endMessage() const
{
    return result().message(m_expectedWord);
}

VerifyResult Verification::result() const
{
    return CompareWithBoard(m_expected, [this](int address) { return value(address); });
}

} // namespace Params
