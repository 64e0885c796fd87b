// Finding things in the parameter tables: by edit, by address, by row and
// column, and the names the screen shows for an address. The tables themselves
// are in ParameterLayout.cpp.
#include "params/ParameterLayout.h"

#include "common/Define.h"

namespace Params {

using namespace Define;

namespace {

QString columnWord(Column column)
{
    switch (column) {
    case Column::R:
        return QStringLiteral("red");
    case Column::G:
        return QStringLiteral("green");
    case Column::B:
        return QStringLiteral("blue");
    case Column::W:
        return QStringLiteral("white");
    case Column::Sensibility:
        return QStringLiteral("sensitivity");
    case Column::Duration:
        return QStringLiteral("duration");
    case Column::Rf:
        return QStringLiteral("flicker red");
    case Column::Gf:
        return QStringLiteral("flicker green");
    case Column::Bf:
        return QStringLiteral("flicker blue");
    case Column::Wf:
        return QStringLiteral("flicker white");
    case Column::Vertical:
        return QStringLiteral("Vertical calibration");
    case Column::Horizontal:
        return QStringLiteral("Horizontal calibration");
    case Column::OldSerial:
        return QStringLiteral("Old serial number");
    }
    return {};
}

// Every address of the parameter memory to the field that shows it.
const std::array<const ParameterField*, PARAMETER_BYTE_MAX + 1>& addressIndex()
{
    static const auto index = [] {
        std::array<const ParameterField*, PARAMETER_BYTE_MAX + 1> byAddress{};
        for (const ParameterField& field : parameterFields()) {
            byAddress[field.address] = &field;
            if (field.isPair())
                byAddress[field.address + 1] = &field;
        }
        return byAddress;
    }();
    return index;
}

} // namespace

bool ParameterField::isSigned() const
{
    return encoding == Encoding::Signed16LowFirst || encoding == Encoding::Signed16HighFirst;
}

int ParameterField::highAddress() const
{
    return encoding == Encoding::Signed16LowFirst ? address + 1 : address;
}

int ParameterField::lowAddress() const
{
    return encoding == Encoding::Byte || encoding == Encoding::Signed16LowFirst ? address : address + 1;
}

QString ParameterField::accessibleName() const
{
    if (bank == 0)
        return columnWord(column);
    return QStringLiteral("Bank %1 %2 %3").arg(bank).arg(rowCaption(row), columnWord(column));
}

const char* RadioGroup::buttonFor(int value) const
{
    if (notSetReadAs && value == PARAMETER_NOT_SET)
        value = *notSetReadAs;
    for (const RadioChoice& choice : choices)
        if (choice.value == value)
            return choice.button;
    return nullptr;
}

const ParameterField* fieldByEdit(QStringView edit)
{
    for (const ParameterField& field : parameterFields())
        if (edit == QLatin1String(field.edit))
            return &field;
    return nullptr;
}

const ParameterField* fieldAtAddress(int address)
{
    if (address < 0 || address > PARAMETER_BYTE_MAX)
        return nullptr;
    return addressIndex()[address];
}

const ParameterField* fieldAt(int bank, Row row, Column column)
{
    for (const ParameterField& field : parameterFields())
        if (field.bank == bank && field.row == row && field.column == column)
            return &field;
    return nullptr;
}

const ScreenRow* screenRow(int bank, Row row)
{
    for (const ScreenRow& screen : screenRows())
        if (screen.bank == bank && screen.row == row)
            return &screen;
    return nullptr;
}

const RadioGroup* radioGroupAt(int address)
{
    for (const RadioGroup* group : {&statusButtons(), &defaultBankButtons(), &frequencyButtons()})
        if (group->address == address)
            return group;
    return nullptr;
}

const SerialPartLabel* serialPartAt(int address)
{
    for (const SerialPartLabel& part : serialPartLabels())
        if (address >= part.firstAddress && address < part.firstAddress + SERIAL_PART_BYTES)
            return &part;
    return nullptr;
}

QString rowCaption(Row row)
{
    for (const ScreenRow& screen : screenRows())
        if (screen.row == row)
            return QString::fromLatin1(screen.caption);
    return {};
}

QList<int> writeAddresses(int bank)
{
    QList<int> addresses;
    for (const WriteStep& step : bankWriteOrder())
        if (!step.firstBankOnly || bank == BANK1)
            addresses.append(stepAddress(step, bank));
    return addresses;
}

QList<int> addressesDecodedTogether(int address)
{
    if (const ParameterField* field = fieldAtAddress(address); field && field->isPair())
        return {field->address, field->address + 1};
    if (const SerialPartLabel* part = serialPartAt(address)) {
        QList<int> bytes;
        for (int byte = 0; byte < SERIAL_PART_BYTES; ++byte)
            bytes.append(part->firstAddress + byte);
        return bytes;
    }
    return {address};
}

QString shownValueName(int address)
{
    if (const ParameterField* field = fieldAtAddress(address))
        return field->accessibleName();
    if (serialPartAt(address))
        return QStringLiteral("Serial number");
    if (address == ADDR_VERSIONE)
        return QStringLiteral("Release");
    if (address == statusButtons().address)
        return QStringLiteral("Board status");
    if (address == defaultBankButtons().address)
        return QStringLiteral("Default bank");
    if (address == frequencyButtons().address)
        return QStringLiteral("Frequency");
    return {};
}

} // namespace Params
