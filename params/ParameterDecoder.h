// The decoder of the board's replies to parameter reads (`UnpackComand`),
// without widgets: each block gives the list of changes the set-up window
// applies, in order.
#pragma once

#include "params/ParameterBytes.h"

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

// The release as the header shows it ("3.0").
QString ReleaseText(std::uint8_t byte);

// Keeps the last byte answered for every address, from which two- and
// four-byte values are assembled: each value from its own addresses' bytes,
// whatever order their answers came in and whatever came between them.
class ParameterDecoder {
public:
    // Decodes the first reply of a received block. A block too short to hold a
    // reply gives at most the loader acknowledgement.
    QList<DecoderEffect> decode(const QByteArray& block);

private:
    ParameterBytes m_answered;
};

} // namespace Params
