#include "comm/StreamFramer.h"

#include "comm/BoardMessages.h"
#include "common/Define.h"

#include <cstring>
#include <string_view>

namespace {

// Markers that recur at one distance, this many times after the first, give
// the telemetry frame's length.
constexpr int MARKER_REPEATS = 2;
constexpr std::string_view END_MARK = Define::REPLY_END_MARK; // after "2" in the end mark
constexpr std::string_view UPLOAD_END = BoardMessages::UPLOAD_END;
constexpr std::string_view WRITE_FILE_DONE = BoardMessages::WRITE_FILE_DONE;

unsigned char byteAt(const char* data, qsizetype index)
{
    return static_cast<unsigned char>(data[index]);
}

// The first bytes of the messages that end a run of other bytes. A "B" begins
// a block only where a message ends: inside other bytes it is one of them.
bool startsMessage(unsigned char b)
{
    switch (b) {
    case Define::TELEMETRY_START:
    case Define::SHOT_START:
    case Define::READ_CMD:
    case UPLOAD_END.front():
    case WRITE_FILE_DONE.front():
    case Define::WRITEFLASHAPP_CMD:
    case Define::ERASEFLASHAPP_CMD:
        return true;
    default:
        return false;
    }
}

// From the first byte up to the next byte that can start a message.
qsizetype runUntilMessage(const char* data, qsizetype size)
{
    qsizetype end = 1;
    while (end < size && !startsMessage(byteAt(data, end)))
        ++end;
    return end;
}

// A fixed text: its length when whole, 0 when begun, -1 when the bytes are not it.
qsizetype matchText(const char* data, qsizetype size, std::string_view text)
{
    const auto length = static_cast<qsizetype>(text.size());
    const qsizetype compared = std::min(size, length);
    if (std::memcmp(data, text.data(), static_cast<std::size_t>(compared)) != 0)
        return -1;
    return compared == length ? length : 0;
}

bool markersRecurEvery(const char* data, qsizetype size, int length)
{
    for (qsizetype at = length; at < size; at += length)
        if (byteAt(data, at) != Define::TELEMETRY_START)
            return false;
    return true;
}

} // namespace

QList<QByteArray> StreamFramer::push(const QByteArray& bytes)
{
    if (m_pending.isEmpty() && m_telemetryLength == 0)
        learnFromLoneFrame(bytes);
    m_pending += bytes;
    QList<QByteArray> messages;
    qsizetype at = 0;
    while (at < m_pending.size()) {
        const qsizetype length = measure(m_pending.constData() + at, m_pending.size() - at);
        if (length == 0)
            break;
        messages.append(m_pending.mid(at, length));
        at += length;
    }
    m_pending.remove(0, at);
    return messages;
}

QList<QByteArray> StreamFramer::flush()
{
    // Telemetry frames that came before a quiet line, their length not known
    // yet: the line's quiet says where the last one ends.
    if (m_telemetryLength == 0 && !m_pending.isEmpty() && byteAt(m_pending.constData(), 0) == Define::TELEMETRY_START) {
        for (int length = Define::TELEMETRY_MIN_BLOCK; length <= TELEMETRY_MAX_LENGTH; ++length) {
            if (m_pending.size() % length == 0 && markersRecurEvery(m_pending.constData(), m_pending.size(), length)) {
                m_telemetryLength = length;
                break;
            }
        }
    }
    QList<QByteArray> messages = push({});
    if (!m_pending.isEmpty())
        messages.append(std::exchange(m_pending, {}));
    return messages;
}

void StreamFramer::reset()
{
    m_pending.clear();
    m_telemetryLength = 0;
}

void StreamFramer::learnFromLoneFrame(const QByteArray& read)
{
    // A read that starts a frame and holds no second one is one frame, as the
    // board wrote it.
    const qsizetype size = read.size();
    if (size < Define::TELEMETRY_MIN_BLOCK || size > TELEMETRY_MAX_LENGTH ||
        static_cast<unsigned char>(read.front()) != Define::TELEMETRY_START)
        return;
    for (int length = Define::TELEMETRY_MIN_BLOCK; length < size; ++length)
        if (markersRecurEvery(read.constData(), size, length))
            return;
    m_telemetryLength = static_cast<int>(size);
}

qsizetype StreamFramer::measure(const char* data, qsizetype size)
{
    const unsigned char first = byteAt(data, 0);
    switch (first) {
    case Define::TELEMETRY_START:
        return measureTelemetry(data, size);
    case Define::SHOT_START:
        if (size < Define::SHOT_HEADER_BYTES)
            return 0;
        if (byteAt(data, 1) != Define::SHOT_START)
            return runUntilMessage(data, size);
        return size >= BoardMessages::SHOT_LENGTH ? BoardMessages::SHOT_LENGTH : 0;
    case Define::READ_CMD: {
        if (size < Define::REPLY_LENGTH)
            return 0;
        // "2End" comes whole or not at all: "2En" alone is the answer for address 69.
        const bool endMark = size > Define::REPLY_LENGTH &&
                             std::string_view(data + Define::REPLY_END_MARK_INDEX, END_MARK.size()) == END_MARK;
        return endMark ? Define::REPLY_LENGTH + 1 : Define::REPLY_LENGTH;
    }
    case UPLOAD_END.front():
    case WRITE_FILE_DONE.front(): {
        const qsizetype text = matchText(data, size, first == UPLOAD_END.front() ? UPLOAD_END : WRITE_FILE_DONE);
        return text >= 0 ? text : runUntilMessage(data, size);
    }
    case Define::WRITEFLASHAPP_CMD:
    case Define::ERASEFLASHAPP_CMD:
        return 1;
    default: // the "B" block and bytes that fit nothing
        return runUntilMessage(data, size);
    }
}

qsizetype StreamFramer::measureTelemetry(const char* data, qsizetype size)
{
    if (m_telemetryLength > 0) {
        if (size < m_telemetryLength)
            return 0;
        if (size == m_telemetryLength || startsMessage(byteAt(data, m_telemetryLength)))
            return m_telemetryLength;
        m_telemetryLength = 0; // the next message does not start where it should: learn again
    }
    for (int length = Define::TELEMETRY_MIN_BLOCK; length <= TELEMETRY_MAX_LENGTH; ++length) {
        const qsizetype needed = static_cast<qsizetype>(MARKER_REPEATS) * length + 1;
        if (size < needed)
            return 0; // too few frames yet to tell
        if (markersRecurEvery(data, needed, length)) {
            m_telemetryLength = length;
            return length;
        }
    }
    // No length fits: a frame is at least this long, and the decoder reads no further.
    return Define::TELEMETRY_MIN_BLOCK;
}
