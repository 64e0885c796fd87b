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
    colour("bank1GuardRed", BANK1, Row::Guard, Column::R, ADDR_R1_BANK, 25),
    colour("bank1GuardGreen", BANK1, Row::Guard, Column::G, ADDR_G1_BANK, 5),
    colour("bank1GuardBlue", BANK1, Row::Guard, Column::B, ADDR_B1_BANK, 240),
    white("bank1GuardWhite", BANK1, Row::Guard, ADDR_WH1_BANK),
    flicker("bank1FlickerRed", BANK1, Column::Rf, ADDR_RFBK_BANK),
    flicker("bank1FlickerGreen", BANK1, Column::Gf, ADDR_GFBK_BANK),
    flicker("bank1FlickerBlue", BANK1, Column::Bf, ADDR_BFBK_BANK),
    flicker("bank1FlickerWhite", BANK1, Column::Wf, ADDR_WFBK_BANK),

    colour("bank1SwingRed", BANK1, Row::Swing, Column::R, ADDR_R2_BANK, 35),
    colour("bank1SwingGreen", BANK1, Row::Swing, Column::G, ADDR_G2_BANK, 10),
    colour("bank1SwingBlue", BANK1, Row::Swing, Column::B, ADDR_B2_BANK, 254),
    white("bank1SwingWhite", BANK1, Row::Swing, ADDR_WH2_BANK),
    sensitivity("bank1SwingSensitivity", BANK1, Row::Swing, ADDR_TH1_HH_BANK),
    duration("bank1SwingDuration", BANK1, Row::Swing, ADDR_TIME1_BANK),

    colour("bank1ClashRed", BANK1, Row::Clash, Column::R, ADDR_R3_BANK, 200),
    colour("bank1ClashGreen", BANK1, Row::Clash, Column::G, ADDR_G3_BANK, 254),
    colour("bank1ClashBlue", BANK1, Row::Clash, Column::B, ADDR_B3_BANK, 10),
    white("bank1ClashWhite", BANK1, Row::Clash, ADDR_WH3_BANK),
    sensitivity("bank1ClashSensitivity", BANK1, Row::Clash, ADDR_TH2_HH_BANK),
    duration("bank1ClashDuration", BANK1, Row::Clash, ADDR_TIME2_BANK),

    colour("bank1PowerClashRed", BANK1, Row::PowerClash, Column::R, ADDR_R4_BANK, 15),
    colour("bank1PowerClashGreen", BANK1, Row::PowerClash, Column::G, ADDR_G4_BANK, 254),
    colour("bank1PowerClashBlue", BANK1, Row::PowerClash, Column::B, ADDR_B4_BANK, 254),
    white("bank1PowerClashWhite", BANK1, Row::PowerClash, ADDR_WH4_BANK),
    sensitivity("bank1PowerClashSensitivity", BANK1, Row::PowerClash, ADDR_TH3_HH_BANK),

    // Bank 2
    colour("bank2GuardRed", BANK2, Row::Guard, Column::R, ADDR_R1_BANK, 254),
    colour("bank2GuardGreen", BANK2, Row::Guard, Column::G, ADDR_G1_BANK, 5),
    colour("bank2GuardBlue", BANK2, Row::Guard, Column::B, ADDR_B1_BANK, 5),
    white("bank2GuardWhite", BANK2, Row::Guard, ADDR_WH1_BANK),
    flicker("bank2FlickerRed", BANK2, Column::Rf, ADDR_RFBK_BANK),
    flicker("bank2FlickerGreen", BANK2, Column::Gf, ADDR_GFBK_BANK),
    flicker("bank2FlickerBlue", BANK2, Column::Bf, ADDR_BFBK_BANK),
    flicker("bank2FlickerWhite", BANK2, Column::Wf, ADDR_WFBK_BANK),

    colour("bank2SwingRed", BANK2, Row::Swing, Column::R, ADDR_R2_BANK, 254),
    colour("bank2SwingGreen", BANK2, Row::Swing, Column::G, ADDR_G2_BANK, 20),
    colour("bank2SwingBlue", BANK2, Row::Swing, Column::B, ADDR_B2_BANK, 0),
    white("bank2SwingWhite", BANK2, Row::Swing, ADDR_WH2_BANK),
    sensitivity("bank2SwingSensitivity", BANK2, Row::Swing, ADDR_TH1_HH_BANK),
    duration("bank2SwingDuration", BANK2, Row::Swing, ADDR_TIME1_BANK),

    colour("bank2ClashRed", BANK2, Row::Clash, Column::R, ADDR_R3_BANK, 200),
    colour("bank2ClashGreen", BANK2, Row::Clash, Column::G, ADDR_G3_BANK, 254),
    colour("bank2ClashBlue", BANK2, Row::Clash, Column::B, ADDR_B3_BANK, 10),
    white("bank2ClashWhite", BANK2, Row::Clash, ADDR_WH3_BANK),
    sensitivity("bank2ClashSensitivity", BANK2, Row::Clash, ADDR_TH2_HH_BANK),
    duration("bank2ClashDuration", BANK2, Row::Clash, ADDR_TIME2_BANK),

    colour("bank2PowerClashRed", BANK2, Row::PowerClash, Column::R, ADDR_R4_BANK, 15),
    colour("bank2PowerClashGreen", BANK2, Row::PowerClash, Column::G, ADDR_G4_BANK, 254),
    colour("bank2PowerClashBlue", BANK2, Row::PowerClash, Column::B, ADDR_B4_BANK, 254),
    white("bank2PowerClashWhite", BANK2, Row::PowerClash, ADDR_WH4_BANK),
    sensitivity("bank2PowerClashSensitivity", BANK2, Row::PowerClash, ADDR_TH3_HH_BANK),

    // Bank 3
    colour("bank3GuardRed", BANK3, Row::Guard, Column::R, ADDR_R1_BANK, 15),
    colour("bank3GuardGreen", BANK3, Row::Guard, Column::G, ADDR_G1_BANK, 254),
    colour("bank3GuardBlue", BANK3, Row::Guard, Column::B, ADDR_B1_BANK, 50),
    white("bank3GuardWhite", BANK3, Row::Guard, ADDR_WH1_BANK),
    flicker("bank3FlickerRed", BANK3, Column::Rf, ADDR_RFBK_BANK),
    flicker("bank3FlickerGreen", BANK3, Column::Gf, ADDR_GFBK_BANK),
    flicker("bank3FlickerBlue", BANK3, Column::Bf, ADDR_BFBK_BANK),
    flicker("bank3FlickerWhite", BANK3, Column::Wf, ADDR_WFBK_BANK),

    colour("bank3SwingRed", BANK3, Row::Swing, Column::R, ADDR_R2_BANK, 10),
    colour("bank3SwingGreen", BANK3, Row::Swing, Column::G, ADDR_G2_BANK, 254),
    colour("bank3SwingBlue", BANK3, Row::Swing, Column::B, ADDR_B2_BANK, 75),
    white("bank3SwingWhite", BANK3, Row::Swing, ADDR_WH2_BANK),
    sensitivity("bank3SwingSensitivity", BANK3, Row::Swing, ADDR_TH1_HH_BANK),
    duration("bank3SwingDuration", BANK3, Row::Swing, ADDR_TIME1_BANK),

    colour("bank3ClashRed", BANK3, Row::Clash, Column::R, ADDR_R3_BANK, 200),
    colour("bank3ClashGreen", BANK3, Row::Clash, Column::G, ADDR_G3_BANK, 254),
    colour("bank3ClashBlue", BANK3, Row::Clash, Column::B, ADDR_B3_BANK, 10),
    white("bank3ClashWhite", BANK3, Row::Clash, ADDR_WH3_BANK),
    sensitivity("bank3ClashSensitivity", BANK3, Row::Clash, ADDR_TH2_HH_BANK),
    duration("bank3ClashDuration", BANK3, Row::Clash, ADDR_TIME2_BANK),

    colour("bank3PowerClashRed", BANK3, Row::PowerClash, Column::R, ADDR_R4_BANK, 15),
    colour("bank3PowerClashGreen", BANK3, Row::PowerClash, Column::G, ADDR_G4_BANK, 254),
    colour("bank3PowerClashBlue", BANK3, Row::PowerClash, Column::B, ADDR_B4_BANK, 254),
    white("bank3PowerClashWhite", BANK3, Row::PowerClash, ADDR_WH4_BANK),
    sensitivity("bank3PowerClashSensitivity", BANK3, Row::PowerClash, ADDR_TH3_HH_BANK),

    // Outside the banks
    signedPair("verticalCalibration", Column::Vertical, Encoding::Signed16LowFirst, ADDR_CALIB_VERT_LL),
    signedPair("horizontalCalibration", Column::Horizontal, Encoding::Signed16LowFirst, ADDR_CALIB_HOR_LL),
    signedPair("oldSerialNumber", Column::OldSerial, Encoding::Signed16HighFirst, ADDR_SN_HH),
};

constexpr ScreenRow ROWS[] = {
    {BANK1, Row::Guard, "bank1GuardRow", "bank1GuardCaption", "Guard", "BANK1"},
    {BANK1, Row::Swing, "bank1SwingRow", "bank1SwingCaption", "Swing", "BANK1"},
    {BANK1, Row::Clash, "bank1ClashRow", "bank1ClashCaption", "Clash", "BANK1"},
    {BANK1, Row::PowerClash, "bank1PowerClashRow", "bank1PowerClashCaption", "Power Clash", "BANK1"},
    {BANK2, Row::Guard, "bank2GuardRow", "bank2GuardCaption", "Guard", "BANK2"},
    {BANK2, Row::Swing, "bank2SwingRow", "bank2SwingCaption", "Swing", "BANK2"},
    {BANK2, Row::Clash, "bank2ClashRow", "bank2ClashCaption", "Clash", "BANK2"},
    {BANK2, Row::PowerClash, "bank2PowerClashRow", "bank2PowerClashCaption", "Power Clash", "BANK2"},
    {BANK3, Row::Guard, "bank3GuardRow", "bank3GuardCaption", "Guard", "BANK3"},
    {BANK3, Row::Swing, "bank3SwingRow", "bank3SwingCaption", "Swing", "BANK3"},
    {BANK3, Row::Clash, "bank3ClashRow", "bank3ClashCaption", "Clash", "BANK3"},
    {BANK3, Row::PowerClash, "bank3PowerClashRow", "bank3PowerClashCaption", "Power Clash", "BANK3"},
};

// The window definition lists the greyed edits without saying which empty cell
// each one fills; they are taken to fill the cells in reading order, bank by
// bank: Guard Sensibility, Guard Duration, Power Clash Duration.
constexpr DisabledCell DISABLED[] = {
    {"bank1GuardSensitivityUnused", BANK1, Row::Guard, Column::Sensibility},
    {"bank1GuardDurationUnused", BANK1, Row::Guard, Column::Duration},
    {"bank1PowerClashDurationUnused", BANK1, Row::PowerClash, Column::Duration},
    {"bank2GuardSensitivityUnused", BANK2, Row::Guard, Column::Sensibility},
    {"bank2GuardDurationUnused", BANK2, Row::Guard, Column::Duration},
    {"bank2PowerClashDurationUnused", BANK2, Row::PowerClash, Column::Duration},
    {"bank3GuardSensitivityUnused", BANK3, Row::Guard, Column::Sensibility},
    {"bank3GuardDurationUnused", BANK3, Row::Guard, Column::Duration},
    {"bank3PowerClashDurationUnused", BANK3, Row::PowerClash, Column::Duration},
};

constexpr SerialPartLabel SERIAL_PARTS[] = {
    {ADDR_LOTTO_HH_H, "serialLot"},
    {ADDR_SN_HH_H, "serialRunningNumber"},
};

constexpr RadioGroup STATUS_BUTTONS = {ADDR_STATO_TAVRIN,
                                       std::nullopt,
                                       {{{STATO_TAVRIN_ACTIVE, "activeModeButton"},
                                         {STATO_TAVRIN_COMMAND_MODE_TX, "txModeButton"},
                                         {STATO_TAVRIN_COMMAND_MODE_NOTX, "setUpModeButton"}}}};

constexpr RadioGroup DEFAULT_BANK_BUTTONS = {
    ADDR_BANK, BANK1, {{{BANK1, "defaultBank1Button"}, {BANK2, "defaultBank2Button"}, {BANK3, "defaultBank3Button"}}}};

constexpr RadioGroup FREQUENCY_BUTTONS = {
    ADDR_FREQUENCY_MODE,
    FREQUENCY_EVO,
    {{{FREQUENCY_STD, "frequencyStdButton"}, {FREQUENCY_MED, "frequencyMedButton"}, {FREQUENCY_EVO, "frequencyEvoButton"}}}};

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

} // namespace

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

int stepAddress(const WriteStep& step, int bank)
{
    Q_ASSERT(bank >= BANK1 && bank <= BANK3);
    return (step.page == Page::Bank ? bankBase(bank) : secondPageBase(bank)) + step.offset;
}

} // namespace Params
