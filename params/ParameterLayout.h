// The parameter screen as one table: which edit shows which bytes of the
// board's parameter memory, how those bytes are encoded, what is shown for an
// unset byte and what may be written back. The decoder, the writer and the
// window glue all work from these tables, so a control name or an address is
// written down exactly once.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <span>

namespace Params {

enum class Row { None, Guard, Swing, Clash, PowerClash };

enum class Column {
    R,
    G,
    B,
    W,
    Sensibility,
    Duration,
    Rf,
    Gf,
    Bf,
    Wf,
    Vertical,
    Horizontal,
    OldSerial,
};

enum class Encoding {
    Byte,                // one unsigned byte at `address`
    Unsigned16HighFirst, // high byte at `address`, low byte at `address + 1`
    Signed16LowFirst,    // low byte at `address`, high byte at `address + 1`
    Signed16HighFirst,   // high byte at `address`, low byte at `address + 1`
};

// One edit of the parameter screen.
struct ParameterField {
    const char* edit; // objectName of the edit
    int bank;         // 1..3; 0 for the values outside the banks
    Row row;
    Column column;
    Encoding encoding;
    int address; // the byte, or the lower address of a pair
    // Text shown instead of the board's "not set" byte 255. The red, green and
    // blue channels show the colour the board falls back to; the flicker bytes
    // of banks 2 and 3 show 0. Everything else shows 255 as it is.
    std::optional<int> notSetShownAs;
    int minValue; // what a write may send
    int maxValue;

    QString editName() const { return QString::fromLatin1(edit); }
    bool isPair() const { return encoding != Encoding::Byte; }
    bool isSigned() const;
    int highAddress() const; // the address itself for a one-byte field
    int lowAddress() const;
    // "Bank 1 Guard red", "Bank 2 Swing sensitivity", "Vertical calibration", ...
    QString accessibleName() const;
    // The motion sensor's calibration: measured on each board, not a setting.
    bool isCalibration() const { return column == Column::Vertical || column == Column::Horizontal; }
};

// One of the twelve row panels, four per bank.
struct ScreenRow {
    int bank;
    Row row;
    const char* panel;        // "bank1GuardRow" .. "bank3PowerClashRow"
    const char* captionLabel; // clicking it selects the row for the sliders
    const char* caption;      // "Guard", "Swing", "Clash", "Power Clash"
    const char* bankText;     // "BANK1" .. "BANK3"
};

// A greyed, permanently disabled edit filling an empty Sensibility or Duration
// cell. It is never filled, read or written.
struct DisabledCell {
    const char* edit;
    int bank;
    Row row;
    Column column;
};

// A radio button that stands for one value of a parameter byte.
struct RadioChoice {
    int value;
    const char* button;
};

// A parameter shown by a group of radio buttons.
struct RadioGroup {
    int address;
    std::optional<int> notSetReadAs; // the value an unset byte 255 stands for
    std::array<RadioChoice, 3> choices;

    // The button for a byte read from the board; nullptr for a value that no
    // button stands for.
    const char* buttonFor(int value) const;
};

// A four-byte serial-number part, most significant byte at `firstAddress`.
struct SerialPartLabel {
    int firstAddress;
    const char* label;
};

// Where a write step's offset counts from: the bank's page (24·b) or the
// bank's block in the second page (150 + 24·b).
enum class Page { Bank, SecondPage };

struct WriteStep {
    Page page;
    int offset;
    bool firstBankOnly;
};

inline constexpr char RELEASE_LABEL[] = "releaseNumber";
inline constexpr char SERIAL_HEADER_LABEL[] = "serialNumber";

std::span<const ParameterField> parameterFields();
std::span<const ScreenRow> screenRows();
std::span<const DisabledCell> disabledCells();
std::span<const SerialPartLabel> serialPartLabels();
const RadioGroup& statusButtons();
const RadioGroup& defaultBankButtons();
const RadioGroup& frequencyButtons();

// Lookups; nullptr when nothing matches.
const ParameterField* fieldByEdit(QStringView edit);
const ParameterField* fieldAtAddress(int address); // either address of a pair
const ParameterField* fieldAt(int bank, Row row, Column column);
const ScreenRow* screenRow(int bank, Row row);
const RadioGroup* radioGroupAt(int address);
const SerialPartLabel* serialPartAt(int address); // any of the part's four bytes

QString rowCaption(Row row);

// The addresses whose bytes make one value on the screen with `address`, in
// ascending order: both bytes of a pair, the four of a serial-number part, or
// the address alone. The decoder builds such a value from bytes read in order.
QList<int> addressesDecodedTogether(int address);
// What the screen shows from `address`, as the user knows it ("Bank 2 Clash
// sensitivity", "Frequency", "Release"); empty for an address it does not show.
QString shownValueName(int address);

// The order in which "Write Parameters" sends one bank, as offsets valid for
// every bank.
std::span<const WriteStep> bankWriteOrder();
int stepAddress(const WriteStep& step, int bank);
QList<int> writeAddresses(int bank);

} // namespace Params
