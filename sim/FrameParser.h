// Cuts the bytes received from the tool into command frames: a start byte "#",
// a code, a fixed number of payload bytes and a line feed. Payload bytes may be
// anything, "#" and line feed included, so a frame is recognised by its length:
// a "#" whose frame does not end in a line feed is dropped and the search goes
// on from the next "#". Bytes before a "#" are dropped as garbage.
#pragma once

#include "sim/Arrival.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

struct Frame {
    char code = 0;
    QByteArray payload;
    qint64 firstByteMs = 0;         // the start byte was read then: it came no later
    qint64 lastByteNotBeforeMs = 0; // the line feed came no earlier than this
    qint64 lastByteMs = 0;          // the line feed was read then

    // The frame as it came: start byte, code, payload, line feed.
    QByteArray bytes() const;

    quint8 byte(int index) const { return index < payload.size() ? static_cast<quint8>(payload[index]) : 0; }
    // Payload bytes 1 to 3 as a 24-bit address, least significant byte first.
    quint32 address() const;
    // Payload bytes 1 and 2 as a 16-bit word, low byte first (the loader's frames).
    quint16 word() const;
};

class FrameParser {
public:
    // frameLength counts the whole frame, start byte and line feed included.
    // A partial frame that waits longer than gapMs is dropped when bytes arrive.
    FrameParser(int frameLength, int gapMs);

    // Forgets any partial frame and takes the given length from now on.
    void reset(int frameLength);
    void append(const QByteArray& bytes, Arrival arrival);
    // The next complete frame, or nothing until more bytes arrive.
    std::optional<Frame> takeFrame();
    // Hands over the bytes not yet cut into frames (a raw stream follows a frame).
    QByteArray takeRemaining();

    // Told about every run of dropped bytes.
    std::function<void(const QByteArray& dropped)> onDiscarded;

private:
    void discard(qsizetype count);

    int m_frameLength;
    int m_gapMs;
    qint64 m_lastArrival = 0;
    QByteArray m_buffer;
    QList<Arrival> m_arrivals; // when each byte of m_buffer came
};
