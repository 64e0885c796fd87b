// "Write Parameters" as a plan: every byte the three banks send, in order,
// checked in full before the first frame leaves, so a bad edit can no longer
// leave the board half written.
#pragma once

#include "common/Define.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace Params {

struct ParameterWrite {
    int address;
    std::uint8_t value;

    friend bool operator==(const ParameterWrite&, const ParameterWrite&) = default;
};

// Why nothing may be sent: the first edit, in write order, that holds no
// integer or a value outside its range.
struct WriteRefusal {
    QString edit;    // objectName of the edit
    QString message; // "'abc' is not a valid integer value", or
                     // "Bank 2 Clash green must be between 0 and 255 (it is 300)."
};

// The writes of "Write Parameters", bank by bank, then the values outside the
// banks a profile may carry (the calibration), then the default bank when the
// board is to get another one.
class WritePlan {
public:
    using Banks = std::array<QList<ParameterWrite>, Define::BANK_COUNT>;

    WritePlan() = default;
    explicit WritePlan(Banks banks, std::optional<ParameterWrite> defaultBank = std::nullopt)
        : m_banks(std::move(banks))
        , m_defaultBank(defaultBank)
    {
    }

    const QList<ParameterWrite>& bank(int bank) const; // 1..3
    std::optional<ParameterWrite> defaultBank() const { return m_defaultBank; }
    void addOutsideBanks(const QList<ParameterWrite>& writes) { m_outsideBanks.append(writes); }
    QList<ParameterWrite> all() const; // bank 1, 2, 3, the values outside them, the default bank

private:
    Banks m_banks;
    QList<ParameterWrite> m_outsideBanks;
    std::optional<ParameterWrite> m_defaultBank;
};

struct WritePlanResult {
    std::optional<WriteRefusal> refusal; // set: send nothing
    WritePlan plan;                      // empty when refused

    bool ok() const { return !refusal.has_value(); }
};

struct ParameterField;

// The value of a field's text, or why it cannot be sent: the one rule that every
// value written to the board or loaded from a file passes.
std::optional<WriteRefusal> CheckFieldText(const ParameterField& field, const QString& text, int& value);

// The bytes of a checked value, in the order of the field's addresses.
QList<ParameterWrite> FieldWrites(const ParameterField& field, int value);

// The text of an edit, by its objectName.
using EditText = std::function<QString(const QString& edit)>;

// The default bank "Write Parameters" sends: the one chosen, when the board is
// known to hold another. A bank chosen by a click has gone at once, so this is a
// bank a loaded file chose; with the board's bank unknown nothing is sent.
std::optional<int> DefaultBankToWrite(std::optional<int> chosen, std::optional<int> onBoard);

// `frequencyMode` is the value of the selected frequency button, or the byte
// the screen or file keeps when no mode stands for it (it goes back as it
// is), FREQUENCY_EVO when nothing is known; `defaultBank` the bank to send, if any.
WritePlanResult PlanParameterWrite(const EditText& textOf, int frequencyMode,
                                   std::optional<int> defaultBank = std::nullopt);

} // namespace Params
