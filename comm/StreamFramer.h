// The board's messages out of the byte stream the port delivers.
//
// A USB serial bridge hands over what the board wrote in pieces of at most a
// packet (62-64 bytes, fewer when its latency timer runs out) and joins what the
// board wrote in turn: one read of the port may hold part of a message, one
// message or several. The framer keeps the bytes of a message that has not
// arrived whole and cuts joined messages apart, by their shapes:
//
//   reply          "2", address, value ("2End": the end mark, four bytes)
//   telemetry      0xFF and at least 24 more bytes; how many the board sends is
//                  learned from the stream: a read that is one frame alone,
//                  markers that recur at one distance, or a quiet line after
//                  whole frames
//   shot           0xAA 0xAA and 100 bytes of samples
//   "End."         the end of an upload
//   "OK WRITE FILE"
//   "A", "C"       the loader's acknowledgements, one byte each
//   "B" block      "B" and what follows it up to the next message
//   other bytes    a run of bytes that fit nothing, up to the next message
//
// A message that has begun but is not whole waits for more bytes; when the line
// has been quiet for a while (QUIET_TIME_MS) the caller flushes it, and it goes
// on as one block, as it came.
#pragma once

#include <QByteArray>
#include <QList>

class StreamFramer {
public:
    // Longer than the gap a bridge leaves inside one message (its latency timer
    // is 16 ms at most by default), short next to what a person notices.
    static constexpr int QUIET_TIME_MS = 50;
    // The longest telemetry frame the framer learns: a bridge's packet.
    static constexpr int TELEMETRY_MAX_LENGTH = 64;

    // Bytes as they came; returns the messages they complete, in order.
    QList<QByteArray> push(const QByteArray& bytes);
    // The line has been quiet: telemetry frames whose length the quiet showed,
    // then the bytes of a message begun and never completed, as one block.
    QList<QByteArray> flush();
    // True while the bytes of an incomplete message wait.
    bool waiting() const { return !m_pending.isEmpty(); }
    // A new connection: nothing of the old one joins its bytes.
    void reset();

    // The telemetry frame's length on the wire; 0 until learned.
    int telemetryLength() const { return m_telemetryLength; }

private:
    // The length of the message at the start of the bytes, or 0 when it has
    // begun but more bytes are needed.
    qsizetype measure(const char* data, qsizetype size);
    qsizetype measureTelemetry(const char* data, qsizetype size);
    void learnFromLoneFrame(const QByteArray& read);

    QByteArray m_pending;
    int m_telemetryLength = 0;
};
