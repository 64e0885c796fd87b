#include "sim/FactoryParameters.h"

#include "common/Define.h"
#include "sim/MotionConstants.h"

namespace {

using Memory = std::array<quint8, 256>;

constexpr quint8 UNSET = Define::PARAMETER_NOT_SET;
constexpr quint8 AUDIO_ON = 1;
constexpr quint8 ACCEL_SCALE_CODE = 0; // 2 g full scale
constexpr quint8 GYRO_SCALE_CODE = 3;  // 2000 degrees/s full scale
constexpr quint8 SWITCH_PRESENT = 1;
constexpr quint8 VERSION_ENABLED = 1;
constexpr int BYTE_BITS = 8;
constexpr quint32 BYTE_MASK = 0xFF;
constexpr int LONG_BYTES = 4;

struct Colour {
    quint8 r, g, b, w;
};

struct Flicker {
    quint8 r, g, b, w;
};

struct Bank {
    quint16 swingSensitivity;
    quint16 clashSensitivity;
    quint16 powerClashSensitivity;
    quint8 swingDuration;
    quint8 clashDuration;
    Colour guard;
    Colour swing;
    Colour clash;
    Colour powerClash;
    Flicker flicker;
};

// One row per bank, bank 1 first. Colours are red, green, blue, white.
constexpr Bank BANKS[Define::BANK_COUNT] = {
    {.swingSensitivity = 1200,
     .clashSensitivity = 6000,
     .powerClashSensitivity = 12000,
     .swingDuration = 20,
     .clashDuration = 15,
     .guard = {25, 5, 240, 0},
     .swing = {35, 10, 254, 40},
     .clash = {200, 254, 10, 254},
     .powerClash = {15, 254, 254, 254},
     .flicker = {10, 10, 10, 0}},
    {.swingSensitivity = 1500,
     .clashSensitivity = 7000,
     .powerClashSensitivity = 14000,
     .swingDuration = 25,
     .clashDuration = 15,
     .guard = {254, 5, 5, 0},
     .swing = {254, 20, 0, 40},
     .clash = {200, 254, 10, 254},
     .powerClash = {15, 254, 254, 254},
     .flicker = {20, 0, 0, 0}},
    {.swingSensitivity = 1000,
     .clashSensitivity = 5000,
     .powerClashSensitivity = 11000,
     .swingDuration = 18,
     .clashDuration = 12,
     .guard = {15, 254, 50, 0},
     .swing = {10, 254, 75, 40},
     .clash = {200, 254, 10, 254},
     .powerClash = {15, 254, 254, 254},
     .flicker = {5, 5, 5, 0}},
};

void putWord(Memory& m, int highAddress, int lowAddress, quint16 value)
{
    m[highAddress] = static_cast<quint8>(value >> BYTE_BITS);
    m[lowAddress] = static_cast<quint8>(value & BYTE_MASK);
}

// Most significant byte at firstAddress.
void putLong(Memory& m, int firstAddress, quint32 value)
{
    for (int i = 0; i < LONG_BYTES; ++i)
        m[firstAddress + i] = static_cast<quint8>((value >> (BYTE_BITS * (LONG_BYTES - 1 - i))) & BYTE_MASK);
}

void putColour(Memory& m, int base, int r, int g, int b, int w, const Colour& c)
{
    m[base + r] = c.r;
    m[base + g] = c.g;
    m[base + b] = c.b;
    m[base + w] = c.w;
}

void putBank(Memory& m, int index, const Bank& bank)
{
    using namespace Define;
    const int base = EEPROM_PAGE_SIZE * (index + 1);
    putWord(m, base + ADDR_TH1_HH_BANK, base + ADDR_TH1_LL_BANK, bank.swingSensitivity);
    putWord(m, base + ADDR_TH2_HH_BANK, base + ADDR_TH2_LL_BANK, bank.clashSensitivity);
    putWord(m, base + ADDR_TH3_HH_BANK, base + ADDR_TH3_LL_BANK, bank.powerClashSensitivity);
    m[base + ADDR_TIME1_BANK] = bank.swingDuration;
    m[base + ADDR_TIME2_BANK] = bank.clashDuration;
    putColour(m, base, ADDR_R1_BANK, ADDR_G1_BANK, ADDR_B1_BANK, ADDR_WH1_BANK, bank.guard);
    putColour(m, base, ADDR_R2_BANK, ADDR_G2_BANK, ADDR_B2_BANK, ADDR_WH2_BANK, bank.swing);
    putColour(m, base, ADDR_R3_BANK, ADDR_G3_BANK, ADDR_B3_BANK, ADDR_WH3_BANK, bank.clash);
    putColour(m, base, ADDR_R4_BANK, ADDR_G4_BANK, ADDR_B4_BANK, ADDR_WH4_BANK, bank.powerClash);

    const int page2 = EEPROM_PAGE2 + EEPROM_PAGE_SIZE * (index + 1);
    m[page2 + ADDR_RFBK_BANK] = bank.flicker.r;
    m[page2 + ADDR_GFBK_BANK] = bank.flicker.g;
    m[page2 + ADDR_BFBK_BANK] = bank.flicker.b;
    m[page2 + ADDR_WFBK_BANK] = bank.flicker.w;
}

} // namespace

std::array<quint8, 256> factoryParameters()
{
    using namespace Define;
    Memory m;
    m.fill(UNSET);

    m[ADDR_VERSIONE] = Factory::RELEASE;
    m[ADDR_STATO_TAVRIN] = STATO_TAVRIN_ACTIVE;
    m[ADDR_STATO_AUDIO] = AUDIO_ON;
    m[ADDR_SCALA_ACCEL] = ACCEL_SCALE_CODE;
    m[ADDR_SCALA_GIRO] = GYRO_SCALE_CODE;
    m[ADDR_BANK] = Factory::DEFAULT_BANK;
    m[ADDR_PRESENZA_SWITCH] = SWITCH_PRESENT;
    putWord(m, ADDR_CALIB_VERT_HH, ADDR_CALIB_VERT_LL, static_cast<quint16>(Motion::Z_VERTICAL));
    putWord(m, ADDR_CALIB_HOR_HH, ADDR_CALIB_HOR_LL, static_cast<quint16>(Motion::Z_HORIZONTAL));
    putWord(m, ADDR_SN_HH, ADDR_SN_LL, static_cast<quint16>(Factory::SERIAL_NUMBER));
    putWord(m, ADDR_BATT_INF_HH, ADDR_BATT_INF_LL, BATTERY_EMPTY);
    putWord(m, ADDR_BATT_SUP_HH, ADDR_BATT_SUP_LL, BATTERY_FULL);

    for (int bank = 0; bank < BANK_COUNT; ++bank)
        putBank(m, bank, BANKS[bank]);
    m[EEPROM_PAGE2_BANK1 + ADDR_FREQUENCY] = FREQUENCY_STD;

    putLong(m, ADDR_LOTTO_HH_H, Factory::SERIAL_LOT);
    putLong(m, ADDR_SN_HH_H, Factory::SERIAL_NUMBER);
    for (int address = ADDR_ENABLE_VERSIONE_30; address <= ADDR_ENABLE_VERSIONE_34; ++address)
        m[address] = VERSION_ENABLED;
    return m;
}
