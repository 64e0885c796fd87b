// The decoder of the board's replies to parameter reads (`UnpackComand`),
// without widgets: each block gives the list of changes the set-up window
// applies, in order.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

namespace Params {

struct DecoderEffect {
    enum class Kind {
        SetReady,           // the loader acknowledged a frame: READY := 1
        SetText,            // `control` (an edit or a label) shows `text`
        SelectRadio,        // select the radio button `control`, as a click would
        FormatSerialNumber, // FormattaSerialNumber(`number`)
        // The frequency byte is `number`, which no button stands for: no mode
        // is shown, and the byte is kept as the board holds it, never guessed.
        UnlistedFrequency,
        ShowMessage,        // a message box with `text`
    };

    Kind kind = Kind::SetReady;
    QString control;
    QString text;
    std::int32_t number = 0;

    static DecoderEffect ready() { return {}; }
    static DecoderEffect setText(QString control, QString text)
    {
        return {Kind::SetText, std::move(control), std::move(text), 0};
    }
    static DecoderEffect selectRadio(QString button) { return {Kind::SelectRadio, std::move(button), {}, 0}; }
    static DecoderEffect formatSerialNumber(std::int32_t num)
    {
        return {Kind::FormatSerialNumber, {}, {}, num};
    }
    static DecoderEffect unlistedFrequency(std::int32_t byte) { return {Kind::UnlistedFrequency, {}, {}, byte}; }
    static DecoderEffect showMessage(QString text) { return {Kind::ShowMessage, {}, std::move(text), 0}; }

    friend bool operator==(const DecoderEffect&, const DecoderEffect&) = default;
};

// Keeps the latches in which two- and four-byte values are assembled across
// replies; one instance lives as long as the set-up window.
class ParameterDecoder {
public:
    // Decodes the first reply of a received block. A block too short to hold a
    // reply gives at most the loader acknowledgement.
    QList<DecoderEffect> decode(const QByteArray& block);

private:
    void decodeField(int address, std::uint8_t v, QList<DecoderEffect>& effects);
    void decodeSerialByte(int address, std::uint8_t v, QList<DecoderEffect>& effects);

    // Shared by every two-byte value; one-byte bank, flicker and frequency
    // replies overwrite Value_low too.
    std::uint8_t Value_low = 0;
    std::uint8_t value_high = 0;
    // The bytes of a serial-number part, shared by both parts.
    std::uint8_t Value_low_l = 0;  // bits 0-7
    std::uint8_t value_low_h = 0;  // bits 8-15
    std::uint8_t Value_High_l = 0; // bits 16-23
    std::uint8_t value_high_h = 0; // bits 24-31
};

} // namespace Params
