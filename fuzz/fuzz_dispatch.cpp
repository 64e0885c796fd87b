// The receive dispatch: a run of blocks as the board might send them, each
// routed and handed to every decoder its routes name, with the decoders' state
// carried from block to block as in the set-up window; the same blocks also
// go through the framer as the pieces of one stream.
//
// Input: records of one header byte (bit 7: a parameter reply is expected; bits
// 0-6: the block's length) followed by the block's bytes.
#include "FuzzInput.h"

#include "comm/ReadReplies.h"
#include "comm/StreamFramer.h"
#include "comm/TrafficLog.h"
#include "common/Define.h"
#include "motion/TelemetryFrame.h"
#include "params/ParameterDecoder.h"
#include "params/ParameterLayout.h"

#include <limits>

namespace {

constexpr std::uint8_t REPLY_EXPECTED = 0x80;
constexpr std::uint8_t LENGTH_BITS = 0x7F;
constexpr int BYTE_MAX = std::numeric_limits<std::uint8_t>::max();
constexpr int HEX_BASE = 16;

int byteAt(const QByteArray& block, int index)
{
    return static_cast<std::uint8_t>(block[index]);
}

bool isNumber(const QString& text, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok && value >= low && value <= high;
}

void checkRoutes(const QByteArray& block, bool replyExpected, const BlockRoutes& routes)
{
    if (block.isEmpty()) {
        FUZZ_CHECK(!routes.writeFileDone && !routes.parameterReply && !routes.telemetry &&
                   !routes.uploadEnd && !routes.pauseForB && !routes.shot);
        return;
    }
    FUZZ_CHECK(routes.parameterReply == replyExpected);
    FUZZ_CHECK(routes.writeFileDone == (block == "OK WRITE FILE"));
    FUZZ_CHECK(routes.uploadEnd == (block == "End."));
    FUZZ_CHECK(routes.pauseForB == (block[0] == 'B'));
    FUZZ_CHECK(routes.telemetry == (block.size() >= Define::TELEMETRY_MIN_BLOCK && byteAt(block, 0) == 0xFF));
    FUZZ_CHECK(routes.shot == (block.size() >= 2 && byteAt(block, 0) == 0xAA && byteAt(block, 1) == 0xAA));
}

// Hexadecimal log lines carry every byte, so they turn back into the block.
void checkLogLine(const QByteArray& block)
{
    const QString line = FormatLogLine(RX_PREFIX, block, true);
    FUZZ_CHECK(line.startsWith(QLatin1String(RX_PREFIX)));
    const QString bytes = line.mid(static_cast<qsizetype>(qstrlen(RX_PREFIX)) + 1);
    FUZZ_CHECK(QByteArray::fromHex(bytes.toLatin1()) == block);
    // In text every byte is one character, but C1 controls are "\xHH".
    const qsizetype controls =
        std::count_if(block.begin(), block.end(), [](char c) { return (c & 0xE0) == 0x80; });
    FUZZ_CHECK(FormatLogLine(RX_PREFIX, block, false).size() == 4 + 2 * block.size() + 3 * controls);
}

void checkFieldText(int address, const QString& text)
{
    const Params::ParameterField& field = *Params::fieldAtAddress(address);
    if (!field.isPair())
        FUZZ_CHECK(isNumber(text, 0, BYTE_MAX) ||
                   (field.notSetShownAs && text == QString::number(*field.notSetShownAs)));
    else if (field.isSigned())
        FUZZ_CHECK(isNumber(text, std::numeric_limits<std::int16_t>::min(),
                            std::numeric_limits<std::int16_t>::max()));
    else
        FUZZ_CHECK(isNumber(text, 0, std::numeric_limits<std::uint16_t>::max()));
}

void checkParameterEffects(const QByteArray& block, const QList<Params::DecoderEffect>& effects)
{
    using Kind = Params::DecoderEffect::Kind;
    const bool acknowledged =
        !block.isEmpty() && (block[0] == Define::WRITEFLASHAPP_CMD || block[0] == Define::ERASEFLASHAPP_CMD);
    FUZZ_CHECK(acknowledged == (!effects.isEmpty() && effects.first().kind == Kind::SetReady));
    const bool reply = block.size() >= Define::REPLY_LENGTH && block[0] == Define::READ_CMD;
    if (!reply) {
        FUZZ_CHECK(effects.size() == (acknowledged ? 1 : 0));
        return;
    }
    const int address = byteAt(block, Define::REPLY_ADDRESS_INDEX);
    const int value = byteAt(block, Define::REPLY_VALUE_INDEX);
    for (qsizetype i = 0; i < effects.size(); ++i) {
        const Params::DecoderEffect& e = effects[i];
        switch (e.kind) {
        case Kind::SetReady:
            FUZZ_CHECK(false);
            break;
        case Kind::SetText:
            if (address == Define::ADDR_VERSIONE)
                FUZZ_CHECK(e.text == QString::number(value) + QStringLiteral(".0"));
            else if (Params::fieldAtAddress(address))
                checkFieldText(address, e.text);
            else
                FUZZ_CHECK(Params::serialPartAt(address) && i + 1 < effects.size() &&
                           effects[i + 1].kind == Kind::FormatSerialNumber &&
                           e.text == QString::number(effects[i + 1].number));
            break;
        case Kind::SelectRadio: {
            const Params::RadioGroup* group = Params::radioGroupAt(address);
            FUZZ_CHECK(group && e.control == QLatin1String(group->buttonFor(value)));
            break;
        }
        case Kind::FormatSerialNumber:
            FUZZ_CHECK(i > 0 && effects[i - 1].kind == Kind::SetText);
            break;
        case Kind::UnlistedFrequency:
            FUZZ_CHECK(address == Define::ADDR_FREQUENCY_MODE && e.number == value &&
                       !Params::frequencyButtons().buttonFor(value));
            break;
        case Kind::ShowMessage:
            FUZZ_CHECK(i + 1 == effects.size() && block.mid(Define::REPLY_END_MARK_INDEX).startsWith("End"));
            break;
        }
    }
}

void checkTelemetry(const QByteArray& block, Motion::BatteryWindow& battery)
{
    Motion::TelemetryState state;
    FUZZ_CHECK(Motion::DecodeTelemetry(block, state));
    for (int k = 0; k < Define::TELEMETRY_FIELD_COUNT; ++k) {
        const auto expected = static_cast<qint16>(byteAt(block, 1 + 2 * k) << 8 | byteAt(block, 2 + 2 * k));
        FUZZ_CHECK(state.*Motion::TELEMETRY_FIELDS[k] == expected);
    }
    FUZZ_CHECK(state.STATO >= 0 && state.STATO <= BYTE_MAX);
    for (const Motion::GridCell& cell : Motion::TelemetryGridCells(state)) {
        bool ok = true;
        if (cell.column == 1)
            cell.text.toUInt(&ok, HEX_BASE);
        FUZZ_CHECK(ok && !cell.text.isEmpty());
    }
    const Motion::BatteryGauge gauge = battery.add(state.Battery_V);
    FUZZ_CHECK(gauge.percent >= 0 && gauge.percent <= Define::PERCENT_FULL);
    FUZZ_CHECK(gauge.barWidth >= 0 && gauge.barWidth <= Define::BATTERY_BAR_FULL_WIDTH);
}

void checkShot(const QByteArray& block)
{
    const QList<qint16> samples = Motion::DecodeShot(block);
    const qsizetype whole = (block.size() - Define::SHOT_HEADER_BYTES) / 2;
    FUZZ_CHECK(samples.size() == std::min<qsizetype>(whole, Define::SHOT_SAMPLES));
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const int at = Define::SHOT_HEADER_BYTES + 2 * static_cast<int>(i);
        FUZZ_CHECK(samples[i] == static_cast<qint16>(byteAt(block, at + 1) << 8 | byteAt(block, at)));
    }
}

// An answer recognised for an awaited read is the whole message, to an
// awaited address; the header's low bits choose what is awaited.
void checkReadReply(const QByteArray& block, std::uint8_t header)
{
    AwaitedReads awaited;
    for (int address = 0; address < ADDRESS_SPACE; ++address)
        if ((address ^ header) % 3 != 0)
            awaited.set(static_cast<std::size_t>(address));
    const std::optional<ReadReply> reply = AwaitedReadReply(block, awaited);
    if (!reply)
        return;
    FUZZ_CHECK(awaited.test(static_cast<std::size_t>(reply->address)));
    FUZZ_CHECK(reply->bytes() == block);
}

// The framer loses no byte and invents none: its messages, and what a quiet
// line flushes, are the stream in order, whatever pieces it came in.
class FramerCheck {
public:
    void push(const QByteArray& block)
    {
        m_stream += block;
        for (const QByteArray& message : m_framer.push(block)) {
            FUZZ_CHECK(!message.isEmpty());
            m_framed += message;
        }
    }
    void finish()
    {
        for (const QByteArray& message : m_framer.flush())
            m_framed += message;
        FUZZ_CHECK(!m_framer.waiting());
        FUZZ_CHECK(m_framed == m_stream);
    }

private:
    StreamFramer m_framer;
    QByteArray m_stream;
    QByteArray m_framed;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    Params::ParameterDecoder decoder;
    Motion::BatteryWindow battery;
    FramerCheck framer;
    while (!input.atEnd()) {
        const std::uint8_t header = input.byte();
        const bool replyExpected = (header & REPLY_EXPECTED) != 0;
        const ExactBlock exact = input.take(header & LENGTH_BITS);
        const QByteArray& block = exact.bytes();

        checkLogLine(block);
        checkReadReply(block, header);
        framer.push(block);
        const BlockRoutes routes = ClassifyBlock(block, replyExpected);
        checkRoutes(block, replyExpected, routes);
        if (routes.parameterReply)
            checkParameterEffects(block, decoder.decode(block));
        if (routes.telemetry)
            checkTelemetry(block, battery);
        if (routes.shot)
            checkShot(block);
        // Whatever the route, a short block never gives telemetry.
        Motion::TelemetryState untouched;
        FUZZ_CHECK(Motion::DecodeTelemetry(block, untouched) ==
                   (block.size() >= Define::TELEMETRY_DECODED_BYTES));
    }
    framer.finish();
    return 0;
}
