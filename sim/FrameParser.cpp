#include "sim/FrameParser.h"

#include "common/Define.h"

namespace {

constexpr int CODE_INDEX = 1;
constexpr int PAYLOAD_INDEX = 2;
constexpr int FRAME_OVERHEAD = 3; // start byte, code, line feed
constexpr int BITS_PER_BYTE = 8;
constexpr int ADDRESS_BYTES = 3;
constexpr int WORD_BYTES = 2;

} // namespace

quint32 Frame::address() const
{
    quint32 value = 0;
    for (int i = ADDRESS_BYTES - 1; i >= 0; --i)
        value = (value << BITS_PER_BYTE) | byte(i);
    return value;
}

QByteArray Frame::bytes() const
{
    QByteArray frame(1, Define::START_CHAR);
    frame += code;
    frame += payload;
    frame += Define::END_CHAR;
    return frame;
}

quint16 Frame::word() const
{
    quint32 value = 0;
    for (int i = WORD_BYTES - 1; i >= 0; --i)
        value = (value << BITS_PER_BYTE) | byte(i);
    return static_cast<quint16>(value);
}

FrameParser::FrameParser(int frameLength, int gapMs)
    : m_frameLength(frameLength)
    , m_gapMs(gapMs)
{
}

void FrameParser::reset(int frameLength)
{
    m_frameLength = frameLength;
    m_buffer.clear();
    m_arrivals.clear();
}

void FrameParser::append(const QByteArray& bytes, Arrival arrival)
{
    if (!m_buffer.isEmpty() && arrival.readMs - m_lastArrival > m_gapMs)
        discard(m_buffer.size());
    m_lastArrival = arrival.readMs;
    m_buffer.append(bytes);
    m_arrivals.insert(m_arrivals.size(), bytes.size(), arrival);
}

std::optional<Frame> FrameParser::takeFrame()
{
    for (;;) {
        const qsizetype start = m_buffer.indexOf(Define::START_CHAR);
        if (start < 0) {
            discard(m_buffer.size());
            return std::nullopt;
        }
        discard(start);
        if (m_buffer.size() < m_frameLength)
            return std::nullopt;
        if (m_buffer[m_frameLength - 1] != Define::END_CHAR) {
            discard(1); // not a frame start after all; look for the next "#"
            continue;
        }
        Frame frame;
        frame.code = m_buffer[CODE_INDEX];
        frame.payload = m_buffer.mid(PAYLOAD_INDEX, m_frameLength - FRAME_OVERHEAD);
        frame.firstByteMs = m_arrivals.first().readMs;
        frame.lastByteNotBeforeMs = m_arrivals[m_frameLength - 1].notBeforeMs;
        frame.lastByteMs = m_arrivals[m_frameLength - 1].readMs;
        m_buffer.remove(0, m_frameLength);
        m_arrivals.remove(0, m_frameLength);
        return frame;
    }
}

QByteArray FrameParser::takeRemaining()
{
    m_arrivals.clear();
    return std::exchange(m_buffer, QByteArray());
}

void FrameParser::discard(qsizetype count)
{
    if (count <= 0)
        return;
    const QByteArray dropped = m_buffer.left(count);
    m_buffer.remove(0, count);
    m_arrivals.remove(0, count);
    if (onDiscarded)
        onDiscarded(dropped);
}
