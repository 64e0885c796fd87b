#include "params/ParameterLayout.h"

#include "common/Define.h"

#include <QtGlobal>

namespace Params {

using namespace Define;

namespace {

constexpr int bankBase(int bank)
{
    return EEPROM_PAGE_SIZE * bank;
}
constexpr int secondPageBase(int bank)
{
    return EEPROM_PAGE2 + EEPROM_PAGE_SIZE * bank;
}

// Red, green or blue of a row; `notSet` is the colour the board falls back to.
constexpr ParameterField colour(const char* edit, int bank, Row row, Column column, int k, int notSet)
{
    return {edit, bank, row, column, Encoding::Byte, bankBase(bank) + k, notSet, 0, PARAMETER_BYTE_MAX};
}

constexpr ParameterField white(const char* edit, int bank, Row row, int k)
{
    return {
        edit, bank, row, Column::W, Encoding::Byte, bankBase(bank) + k, std::nullopt, 0, PARAMETER_BYTE_MAX};
}

constexpr ParameterField duration(const char* edit, int bank, Row row, int k)
{
    return {edit,
            bank,
            row,
            Column::Duration,
            Encoding::Byte,
            bankBase(bank) + k,
            std::nullopt,
            0,
            PARAMETER_BYTE_MAX};
}

constexpr ParameterField sensitivity(const char* edit, int bank, Row row, int highK)
{
    return {edit,
            bank,
            row,
            Column::Sensibility,
            Encoding::Unsigned16HighFirst,
            bankBase(bank) + highK,
            std::nullopt,
            0,
            SENSITIVITY_MAX};
}

// Bank 1's flicker bytes are shown as received (its change handler then caps
// them at 100); banks 2 and 3 show an unset byte as 0.
constexpr ParameterField flicker(const char* edit, int bank, Column column, int f)
{
    return {edit,
            bank,
            Row::Guard,
            column,
            Encoding::Byte,
            secondPageBase(bank) + f,
            bank == BANK1 ? std::nullopt : std::optional<int>(0),
            0,
            FLICKER_MAX};
}

constexpr ParameterField signedPair(const char* edit, Column column, Encoding encoding, int address)
{
    return {edit, 0, Row::None, column, encoding, address, std::nullopt, SIGNED_PAIR_MIN, SIGNED_PAIR_MAX};
}

constexpr ParameterField FIELDS[] = {
    // Bank 1
    colour("Edit9", BANK1, Row::Guard, Column::R, ADDR_R1_BANK, 25),
    colour("Edit46", BANK1, Row::Guard, Column::G, ADDR_G1_BANK, 5),
    colour("Edit47", BANK1, Row::Guard, Column::B, ADDR_B1_BANK, 240),
    white("Edit48", BANK1, Row::Guard, ADDR_WH1_BANK),
    flicker("RFBK1", BANK1, Column::Rf, ADDR_RFBK_BANK),
    flicker("GFBK1", BANK1, Column::Gf, ADDR_GFBK_BANK),
    flicker("BFBK1", BANK1, Column::Bf, ADDR_BFBK_BANK),
    flicker("WFBK1", BANK1, Column::Wf, ADDR_WFBK_BANK),

    colour("Edit51", BANK1, Row::Swing, Column::R, ADDR_R2_BANK, 35),
    colour("Edit52", BANK1, Row::Swing, Column::G, ADDR_G2_BANK, 10),
    colour("Edit53", BANK1, Row::Swing, Column::B, ADDR_B2_BANK, 254),
    white("Edit54", BANK1, Row::Swing, ADDR_WH2_BANK),
    sensitivity("Edit2", BANK1, Row::Swing, ADDR_TH1_HH_BANK),
    duration("Edit3", BANK1, Row::Swing, ADDR_TIME1_BANK),

    colour("Edit4", BANK1, Row::Clash, Column::R, ADDR_R3_BANK, 200),
    colour("Edit5", BANK1, Row::Clash, Column::G, ADDR_G3_BANK, 254),
    colour("Edit6", BANK1, Row::Clash, Column::B, ADDR_B3_BANK, 10),
    white("Edit7", BANK1, Row::Clash, ADDR_WH3_BANK),
    sensitivity("Edit8", BANK1, Row::Clash, ADDR_TH2_HH_BANK),
    duration("Edit10", BANK1, Row::Clash, ADDR_TIME2_BANK),

    colour("Edit11", BANK1, Row::PowerClash, Column::R, ADDR_R4_BANK, 15),
    colour("Edit12", BANK1, Row::PowerClash, Column::G, ADDR_G4_BANK, 254),
    colour("Edit13", BANK1, Row::PowerClash, Column::B, ADDR_B4_BANK, 254),
    white("Edit14", BANK1, Row::PowerClash, ADDR_WH4_BANK),
    sensitivity("Edit15", BANK1, Row::PowerClash, ADDR_TH3_HH_BANK),

    // Bank 2
    colour("Edit22", BANK2, Row::Guard, Column::R, ADDR_R1_BANK, 254),
    colour("Edit17", BANK2, Row::Guard, Column::G, ADDR_G1_BANK, 5),
    colour("Edit18", BANK2, Row::Guard, Column::B, ADDR_B1_BANK, 5),
    white("Edit19", BANK2, Row::Guard, ADDR_WH1_BANK),
    flicker("RFBK2", BANK2, Column::Rf, ADDR_RFBK_BANK),
    flicker("GFBK2", BANK2, Column::Gf, ADDR_GFBK_BANK),
    flicker("BFBK2", BANK2, Column::Bf, ADDR_BFBK_BANK),
    flicker("WFBK2", BANK2, Column::Wf, ADDR_WFBK_BANK),

    colour("Edit23", BANK2, Row::Swing, Column::R, ADDR_R2_BANK, 254),
    colour("Edit24", BANK2, Row::Swing, Column::G, ADDR_G2_BANK, 20),
    colour("Edit25", BANK2, Row::Swing, Column::B, ADDR_B2_BANK, 0),
    white("Edit29", BANK2, Row::Swing, ADDR_WH2_BANK),
    sensitivity("Edit30", BANK2, Row::Swing, ADDR_TH1_HH_BANK),
    duration("Edit31", BANK2, Row::Swing, ADDR_TIME1_BANK),

    colour("Edit32", BANK2, Row::Clash, Column::R, ADDR_R3_BANK, 200),
    colour("Edit33", BANK2, Row::Clash, Column::G, ADDR_G3_BANK, 254),
    colour("Edit34", BANK2, Row::Clash, Column::B, ADDR_B3_BANK, 10),
    white("Edit35", BANK2, Row::Clash, ADDR_WH3_BANK),
    sensitivity("Edit36", BANK2, Row::Clash, ADDR_TH2_HH_BANK),
    duration("Edit37", BANK2, Row::Clash, ADDR_TIME2_BANK),

    colour("Edit38", BANK2, Row::PowerClash, Column::R, ADDR_R4_BANK, 15),
    colour("Edit39", BANK2, Row::PowerClash, Column::G, ADDR_G4_BANK, 254),
    colour("Edit40", BANK2, Row::PowerClash, Column::B, ADDR_B4_BANK, 254),
    white("Edit41", BANK2, Row::PowerClash, ADDR_WH4_BANK),
    sensitivity("Edit42", BANK2, Row::PowerClash, ADDR_TH3_HH_BANK),

    // Bank 3
    colour("Edit60", BANK3, Row::Guard, Column::R, ADDR_R1_BANK, 15),
    colour("Edit55", BANK3, Row::Guard, Column::G, ADDR_G1_BANK, 254),
    colour("Edit56", BANK3, Row::Guard, Column::B, ADDR_B1_BANK, 50),
    white("Edit57", BANK3, Row::Guard, ADDR_WH1_BANK),
    flicker("RFBK3", BANK3, Column::Rf, ADDR_RFBK_BANK),
    flicker("GFBK3", BANK3, Column::Gf, ADDR_GFBK_BANK),
    flicker("BFBK3", BANK3, Column::Bf, ADDR_BFBK_BANK),
    flicker("WFBK3", BANK3, Column::Wf, ADDR_WFBK_BANK),

    colour("Edit61", BANK3, Row::Swing, Column::R, ADDR_R2_BANK, 10),
    colour("Edit62", BANK3, Row::Swing, Column::G, ADDR_G2_BANK, 254),
    colour("Edit63", BANK3, Row::Swing, Column::B, ADDR_B2_BANK, 75),
    white("Edit64", BANK3, Row::Swing, ADDR_WH2_BANK),
    sensitivity("Edit65", BANK3, Row::Swing, ADDR_TH1_HH_BANK),
    duration("Edit66", BANK3, Row::Swing, ADDR_TIME1_BANK),

    colour("Edit67", BANK3, Row::Clash, Column::R, ADDR_R3_BANK, 200),
    colour("Edit68", BANK3, Row::Clash, Column::G, ADDR_G3_BANK, 254),
    colour("Edit69", BANK3, Row::Clash, Column::B, ADDR_B3_BANK, 10),
    white("Edit70", BANK3, Row::Clash, ADDR_WH3_BANK),
    sensitivity("Edit71", BANK3, Row::Clash, ADDR_TH2_HH_BANK),
    duration("Edit72", BANK3, Row::Clash, ADDR_TIME2_BANK),

    colour("Edit73", BANK3, Row::PowerClash, Column::R, ADDR_R4_BANK, 15),
    colour("Edit74", BANK3, Row::PowerClash, Column::G, ADDR_G4_BANK, 254),
    colour("Edit75", BANK3, Row::PowerClash, Column::B, ADDR_B4_BANK, 254),
    white("Edit76", BANK3, Row::PowerClash, ADDR_WH4_BANK),
    sensitivity("Edit77", BANK3, Row::PowerClash, ADDR_TH3_HH_BANK),

    // Outside the banks
    signedPair("Edit43", Column::Vertical, Encoding::Signed16LowFirst, ADDR_CALIB_VERT_LL),
    signedPair("Edit44", Column::Horizontal, Encoding::Signed16LowFirst, ADDR_CALIB_HOR_LL),
    signedPair("SN_OLD", Column::OldSerial, Encoding::Signed16HighFirst, ADDR_SN_HH),
};

constexpr ScreenRow ROWS[] = {
    {BANK1, Row::Guard, "Panel2", "Label51", "Guard", "BANK1"},
    {BANK1, Row::Swing, "Panel3", "Label57", "Swing", "BANK1"},
    {BANK1, Row::Clash, "Panel4", "Label3", "Clash", "BANK1"},
    {BANK1, Row::PowerClash, "Panel5", "Label11", "Power Clash", "BANK1"},
    {BANK2, Row::Guard, "Panel6", "Label12", "Guard", "BANK2"},
    {BANK2, Row::Swing, "Panel7", "Label16", "Swing", "BANK2"},
    {BANK2, Row::Clash, "Panel8", "Label17", "Clash", "BANK2"},
    {BANK2, Row::PowerClash, "Panel9", "Label18", "Power Clash", "BANK2"},
    {BANK3, Row::Guard, "Panel10", "Label19", "Guard", "BANK3"},
    {BANK3, Row::Swing, "Panel11", "Label20", "Swing", "BANK3"},
    {BANK3, Row::Clash, "Panel12", "Label26", "Clash", "BANK3"},
    {BANK3, Row::PowerClash, "Panel13", "Label31", "Power Clash", "BANK3"},
};

// The window definition lists the greyed edits without saying which empty cell
// each one fills; they are taken to fill the cells in reading order, bank by
// bank: Guard Sensibility, Guard Duration, Power Clash Duration.
constexpr DisabledCell DISABLED[] = {
    {"Edit49", BANK1, Row::Guard, Column::Sensibility},
    {"Edit50", BANK1, Row::Guard, Column::Duration},
    {"Edit16", BANK1, Row::PowerClash, Column::Duration},
    {"Edit20", BANK2, Row::Guard, Column::Sensibility},
    {"Edit21", BANK2, Row::Guard, Column::Duration},
    {"Edit45", BANK2, Row::PowerClash, Column::Duration},
    {"Edit58", BANK3, Row::Guard, Column::Sensibility},
    {"Edit59", BANK3, Row::Guard, Column::Duration},
    {"Edit78", BANK3, Row::PowerClash, Column::Duration},
};

constexpr SerialPartLabel SERIAL_PARTS[] = {
    {ADDR_LOTTO_HH_H, "Label14"},
    {ADDR_SN_HH_H, "Label43"},
};

constexpr RadioGroup STATUS_BUTTONS = {ADDR_STATO_TAVRIN,
                                       std::nullopt,
                                       {{{STATO_TAVRIN_ACTIVE, "RadioButton10"},
                                         {STATO_TAVRIN_COMMAND_MODE_TX, "RadioButton13"},
                                         {STATO_TAVRIN_COMMAND_MODE_NOTX, "RadioButton9"}}}};

constexpr RadioGroup DEFAULT_BANK_BUTTONS = {
    ADDR_BANK, BANK1, {{{BANK1, "Def1"}, {BANK2, "Def2"}, {BANK3, "Def3"}}}};

constexpr RadioGroup FREQUENCY_BUTTONS = {
    ADDR_FREQUENCY_MODE,
    FREQUENCY_EVO,
    {{{FREQUENCY_STD, "lowcheck"}, {FREQUENCY_MED, "Medcheck"}, {FREQUENCY_EVO, "highcheck"}}}};

// Colours first (red, green, blue of each row, then the whites), then the
// durations, the sensitivities high byte first, the flicker colour and, for
// bank 1 only, the frequency mode.
constexpr WriteStep WRITE_ORDER[] = {
    {Page::Bank, ADDR_R1_BANK, false},         {Page::Bank, ADDR_G1_BANK, false},
    {Page::Bank, ADDR_B1_BANK, false},         {Page::Bank, ADDR_R2_BANK, false},
    {Page::Bank, ADDR_G2_BANK, false},         {Page::Bank, ADDR_B2_BANK, false},
    {Page::Bank, ADDR_R3_BANK, false},         {Page::Bank, ADDR_G3_BANK, false},
    {Page::Bank, ADDR_B3_BANK, false},         {Page::Bank, ADDR_R4_BANK, false},
    {Page::Bank, ADDR_G4_BANK, false},         {Page::Bank, ADDR_B4_BANK, false},
    {Page::Bank, ADDR_WH1_BANK, false},        {Page::Bank, ADDR_WH2_BANK, false},
    {Page::Bank, ADDR_WH3_BANK, false},        {Page::Bank, ADDR_WH4_BANK, false},
    {Page::Bank, ADDR_TIME1_BANK, false},      {Page::Bank, ADDR_TIME2_BANK, false},
    {Page::Bank, ADDR_TH1_HH_BANK, false},     {Page::Bank, ADDR_TH1_LL_BANK, false},
    {Page::Bank, ADDR_TH2_HH_BANK, false},     {Page::Bank, ADDR_TH2_LL_BANK, false},
    {Page::Bank, ADDR_TH3_HH_BANK, false},     {Page::Bank, ADDR_TH3_LL_BANK, false},
    {Page::SecondPage, ADDR_RFBK_BANK, false}, {Page::SecondPage, ADDR_GFBK_BANK, false},
    {Page::SecondPage, ADDR_BFBK_BANK, false}, {Page::SecondPage, ADDR_WFBK_BANK, false},
    {Page::SecondPage, ADDR_FREQUENCY, true},
};

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
        for (const ParameterField& field : FIELDS) {
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

std::span<const ParameterField> parameterFields()
{
    return FIELDS;
}
std::span<const ScreenRow> screenRows()
{
    return ROWS;
}
std::span<const DisabledCell> disabledCells()
{
    return DISABLED;
}
std::span<const SerialPartLabel> serialPartLabels()
{
    return SERIAL_PARTS;
}
const RadioGroup& statusButtons()
{
    return STATUS_BUTTONS;
}
const RadioGroup& defaultBankButtons()
{
    return DEFAULT_BANK_BUTTONS;
}
const RadioGroup& frequencyButtons()
{
    return FREQUENCY_BUTTONS;
}
std::span<const WriteStep> bankWriteOrder()
{
    return WRITE_ORDER;
}

const ParameterField* fieldByEdit(QStringView edit)
{
    for (const ParameterField& field : FIELDS)
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
    for (const ParameterField& field : FIELDS)
        if (field.bank == bank && field.row == row && field.column == column)
            return &field;
    return nullptr;
}

const ScreenRow* screenRow(int bank, Row row)
{
    for (const ScreenRow& screen : ROWS)
        if (screen.bank == bank && screen.row == row)
            return &screen;
    return nullptr;
}

const RadioGroup* radioGroupAt(int address)
{
    for (const RadioGroup* group : {&STATUS_BUTTONS, &DEFAULT_BANK_BUTTONS, &FREQUENCY_BUTTONS})
        if (group->address == address)
            return group;
    return nullptr;
}

const SerialPartLabel* serialPartAt(int address)
{
    for (const SerialPartLabel& part : SERIAL_PARTS)
        if (address >= part.firstAddress && address < part.firstAddress + SERIAL_PART_BYTES)
            return &part;
    return nullptr;
}

QString rowCaption(Row row)
{
    for (const ScreenRow& screen : ROWS)
        if (screen.row == row)
            return QString::fromLatin1(screen.caption);
    return {};
}

int stepAddress(const WriteStep& step, int bank)
{
    Q_ASSERT(bank >= BANK1 && bank <= BANK3);
    return (step.page == Page::Bank ? bankBase(bank) : secondPageBase(bank)) + step.offset;
}

QList<int> writeAddresses(int bank)
{
    QList<int> addresses;
    for (const WriteStep& step : WRITE_ORDER)
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
    if (address == STATUS_BUTTONS.address)
        return QStringLiteral("Board status");
    if (address == DEFAULT_BANK_BUTTONS.address)
        return QStringLiteral("Default bank");
    if (address == FREQUENCY_BUTTONS.address)
        return QStringLiteral("Frequency");
    return {};
}

} // namespace Params
