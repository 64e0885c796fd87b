#include "params/ParameterWriter.h"

#include "common/Framework.h"
#include "params/ParameterLayout.h"

#include <climits>

namespace Params {

using namespace Define;

std::optional<WriteRefusal> CheckFieldText(const ParameterField& field, const QString& text, int& value)
{
    try {
        value = StrToInt(text);
    } catch (const EConvertError& error) {
        return WriteRefusal{field.editName(), error.message()};
    }
    if (value < field.minValue || value > field.maxValue)
        return WriteRefusal{field.editName(), QStringLiteral("%1 must be between %2 and %3 (it is %4).")
                                                  .arg(field.accessibleName())
                                                  .arg(field.minValue)
                                                  .arg(field.maxValue)
                                                  .arg(value)};
    return std::nullopt;
}

namespace {

std::uint8_t byteAt(const ParameterField& field, int address, int value)
{
    const int shifted = field.isPair() && address == field.highAddress() ? value >> 8 : value;
    return static_cast<std::uint8_t>(shifted & PARAMETER_BYTE_MAX);
}

} // namespace

QList<ParameterWrite> FieldWrites(const ParameterField& field, int value)
{
    QList<ParameterWrite> writes{{field.lowAddress(), byteAt(field, field.lowAddress(), value)}};
    if (field.isPair())
        writes.append({field.highAddress(), byteAt(field, field.highAddress(), value)});
    return writes;
}

const QList<ParameterWrite>& WritePlan::bank(int bank) const
{
    Q_ASSERT(bank >= BANK1 && bank <= BANK3);
    return m_banks[bank - BANK1];
}

QList<ParameterWrite> WritePlan::all() const
{
    QList<ParameterWrite> writes;
    for (const QList<ParameterWrite>& bankWrites : m_banks)
        writes.append(bankWrites);
    writes.append(m_outsideBanks);
    if (m_defaultBank)
        writes.append(*m_defaultBank);
    return writes;
}

std::optional<int> DefaultBankToWrite(std::optional<int> chosen, std::optional<int> onBoard)
{
    if (chosen && onBoard && *chosen != *onBoard)
        return chosen;
    return std::nullopt;
}

WritePlanResult PlanParameterWrite(const EditText& textOf, int frequencyMode, std::optional<int> defaultBank)
{
    Q_ASSERT(frequencyMode >= 0 && frequencyMode <= UCHAR_MAX);
    WritePlan::Banks banks;
    for (int bank = BANK1; bank <= BANK3; ++bank) {
        for (const int address : writeAddresses(bank)) {
            if (address == ADDR_FREQUENCY_MODE) {
                banks[bank - BANK1].append({address, static_cast<std::uint8_t>(frequencyMode)});
                continue;
            }
            const ParameterField* field = fieldAtAddress(address);
            Q_ASSERT(field);
            int value = 0;
            if (auto refusal = CheckFieldText(*field, textOf(field->editName()), value))
                return {std::move(refusal), {}};
            banks[bank - BANK1].append({address, byteAt(*field, address, value)});
        }
    }
    std::optional<ParameterWrite> bankWrite;
    if (defaultBank) {
        Q_ASSERT(*defaultBank >= BANK1 && *defaultBank <= BANK3);
        bankWrite = ParameterWrite{ADDR_BANK, static_cast<std::uint8_t>(*defaultBank)};
    }
    return {std::nullopt, WritePlan(std::move(banks), bankWrite)};
}

} // namespace Params
