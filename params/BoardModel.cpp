#include "params/BoardModel.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "common/Define.h"
#include "params/FlickerLimit.h"

namespace Params {

namespace {
// Where a parameter write frame carries its address and value.
constexpr int WRITE_ADDRESS_INDEX = 2;
constexpr int WRITE_VALUE_INDEX = 3;

// The address and byte of the reply a block starts with, when it starts with one.
std::optional<std::pair<int, std::uint8_t>> replyOf(const QByteArray& block)
{
    if (block.size() < Define::REPLY_LENGTH || block.at(Define::REPLY_CODE_INDEX) != Define::READ_CMD)
        return std::nullopt;
    return std::pair{static_cast<int>(static_cast<std::uint8_t>(block.at(Define::REPLY_ADDRESS_INDEX))),
                     static_cast<std::uint8_t>(block.at(Define::REPLY_VALUE_INDEX))};
}
} // namespace

QList<DecoderEffect> BoardModel::receive(const QByteArray& block)
{
    if (const auto reply = replyOf(block)) {
        answered(reply->first, reply->second);
        dropTyped(reply->first);
    }
    const QList<DecoderEffect> effects = m_decoder.decode(block);
    for (const DecoderEffect& effect : effects)
        m_identity.follow(effect);
    return effects;
}

void BoardModel::frameSent(const QByteArray& frame)
{
    if (!IsParameterWrite(frame))
        return;
    const int address = static_cast<std::uint8_t>(frame.at(WRITE_ADDRESS_INDEX));
    // The board's mode is a command, not a value it keeps among its parameters.
    if (address == Define::ADDR_STATO_TAVRIN)
        return;
    take(address, static_cast<std::uint8_t>(frame.at(WRITE_VALUE_INDEX)));
    m_readState.setByte(address, Origin::Written);
    settleTyped(address);
}

void BoardModel::follow(BoardLink& link, QObject* context)
{
    QObject::connect(&link, &BoardLink::frameSent, context, [this](const QByteArray& frame) { frameSent(frame); });
    QObject::connect(&link, &BoardLink::readAnswered, context,
                     [this](int address, quint8 byte) { answered(address, byte); });
}

void BoardModel::answered(int address, std::uint8_t byte)
{
    // A decoded answer is learnt twice (decoded, then as the read's answer):
    // only the first one finds the byte as written.
    if (m_readState.origin(address) == Origin::Written)
        m_readState.setByte(address, known(address) && m_bytes.at(address) == byte ? Origin::Verified : Origin::Read);
    take(address, byte);
}

void BoardModel::take(int address, std::uint8_t byte)
{
    m_bytes.set(address, byte);
    m_known.set(static_cast<std::size_t>(address));
}

void BoardModel::readEnded(const QList<int>& asked, const QList<int>& unanswered)
{
    m_readState.readEnded(asked, unanswered);
    m_identity.readEnded(m_readState);
}

std::optional<std::uint8_t> BoardModel::heldByte(int address) const
{
    const Origin origin = m_readState.origin(address);
    if (!known(address) || origin == Origin::NeverRead || origin == Origin::Typed)
        return std::nullopt;
    return m_bytes.at(address);
}

std::optional<int> BoardModel::value(const ParameterField& field) const
{
    if (!known(field.lowAddress()) || !known(field.highAddress()))
        return std::nullopt;
    return m_bytes.shownValue(field);
}

QString BoardModel::text(const QString& control) const
{
    if (control == QLatin1String(RELEASE_LABEL))
        return release();
    const ParameterField* field = fieldByEdit(control);
    const std::optional<int> number = field ? value(*field) : std::nullopt;
    if (!number)
        return {};
    const QString shown = QString::number(*number);
    return IsFlicker(*field) ? FlickerLimited(shown) : shown;
}

QString BoardModel::release() const
{
    return known(Define::ADDR_VERSIONE) ? ReleaseText(m_bytes.at(Define::ADDR_VERSIONE))
                                        : QString();
}

std::optional<int> BoardModel::choice(const RadioGroup& group) const
{
    if (!known(group.address))
        return std::nullopt;
    int byte = m_bytes.at(group.address);
    if (group.notSetReadAs && byte == Define::PARAMETER_NOT_SET)
        byte = *group.notSetReadAs;
    for (const RadioChoice& option : group.choices)
        if (option.value == byte)
            return byte;
    return std::nullopt;
}

std::optional<int> BoardModel::frequencyMode() const
{
    // A byte no mode stands for is kept as the board holds it, never guessed.
    if (const std::optional<int> mode = choice(frequencyButtons()))
        return mode;
    return known(frequencyButtons().address) ? std::optional<int>(m_bytes.at(frequencyButtons().address))
                                             : std::nullopt;
}

QStringList BoardModel::unknownNames() const
{
    QStringList names;
    for (int address = 0; address < Define::PARAMETER_COUNT; ++address) {
        const QString name = shownValueName(address);
        const bool unknown = !known(address) || m_readState.isUnread(address);
        if (unknown && !name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

ParameterFileContent BoardModel::fileContent() const
{
    return ScreenFileContent([this](const QString& edit) { return text(edit); }, defaultBank(), frequencyMode(),
                             release(), serialNumber());
}

void BoardModel::type(const ParameterField& field, const QString& text)
{
    m_typed.insert(field.address, text);
}

QString BoardModel::shownText(const QString& edit) const
{
    if (const ParameterField* field = fieldByEdit(edit))
        if (const auto typed = m_typed.constFind(field->address); typed != m_typed.cend())
            return *typed;
    return text(edit);
}

ParameterFileContent BoardModel::shownFileContent() const
{
    return ScreenFileContent([this](const QString& edit) { return shownText(edit); }, shownDefaultBank(),
                             shownFrequency(), release(), serialNumber());
}

void BoardModel::dropTyped(int address)
{
    if (const ParameterField* field = fieldAtAddress(address))
        m_typed.remove(field->address);
    if (address == defaultBankButtons().address)
        m_chosenDefaultBank.reset();
    if (address == frequencyButtons().address)
        m_chosenFrequency.reset();
}

void BoardModel::settleTyped(int address)
{
    if (const ParameterField* field = fieldAtAddress(address)) {
        const auto typed = m_typed.constFind(field->address);
        bool isNumber = false;
        const int number = typed == m_typed.cend() ? 0 : typed->trimmed().toInt(&isNumber);
        if (isNumber && value(*field) == number)
            m_typed.remove(field->address);
    }
    if (address == defaultBankButtons().address && m_chosenDefaultBank == defaultBank())
        m_chosenDefaultBank.reset();
    if (address == frequencyButtons().address && m_chosenFrequency == frequencyMode())
        m_chosenFrequency.reset();
}

} // namespace Params
