// Writes one prepared sound into one slot on a link its operation already holds:
// the slot's erase frames with their pauses, the upload request, the sample
// stream, then the closing pause in which the board stores the tail. Both the
// single upload and the bulk load write through it, so the wire sees the same
// bytes and the same pacing from either.
//
// The board takes the samples at the link's pace with no acknowledgement. They
// are handed to the port on each 20 ms tick, a short lead ahead of what the port
// says has left and never faster than a 115200 baud line: the bytes and their
// order are those of one send per byte, but a tick costs microseconds, a USB
// board gets them at its own pace whatever the nominal baud, and a real slow
// line holds them back. The progress counts the bytes that have left, and the
// closing pause starts once the last one has. A write is done when the closing
// pause is over and the board has answered "End."; an answer that has not come
// within Sound::UploadEndBoundMs of the last byte never will, and the write is
// done unconfirmed: the slot may hold any part of the sound.
#pragma once

#include "comm/FramePacer.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"

#include <QByteArray>
#include <QObject>

class BoardLink;
class WindowTimer;

class SlotWriter : public QObject {
    Q_OBJECT
public:
    explicit SlotWriter(BoardLink& link, QObject* parent = nullptr);

    // Starts writing; done() follows the closing pause and the board's answer.
    void write(const Sound::SoundSlot& slot, const Sound::PreparedUpload& upload);
    // Sends nothing more, but still waits the closing pause: a board that has had
    // the request takes whatever comes next as samples until it has given up. The
    // write is then done unconfirmed, whatever the board says.
    void stopSending();
    // Stops every timer at once (the device is gone); done() never comes.
    void halt();

    bool writing() const { return m_stage != Stage::Idle; }

    // One tick of the transfer: the request, then the stream as the link takes it.
    void tick();

signals:
    // Stream bytes that have left the computer so far.
    void streamed(qsizetype departed);
    // confirmed: the whole stream was sent and the board answered "End.".
    void done(bool confirmed);

private:
    enum class Stage { Idle, Erasing, RequestDue, StreamDue, Streaming, Closing, AwaitingEnd };
    void sendDueSamples();
    qsizetype departed() const;
    void close();
    void closed();
    void boardEnded();
    void end(bool confirmed);

    BoardLink& m_link;
    FramePacer m_pacer;
    WindowTimer* m_timer;
    Stage m_stage = Stage::Idle;
    std::uint32_t m_address = 0;
    QByteArray m_stream;
    qsizetype m_sent = 0;     // handed to the port
    qsizetype m_departed = 0; // reported as gone
    qint64 m_streamStart = 0;
    bool m_stopped = false;    // stopSending() cut the stream short
    bool m_boardEnded = false; // "End." came after the request
};

// "The board did not confirm the upload into Bank 1 Hum: ..." for a write done
// unconfirmed, naming the slot as the user knows it.
QString UnconfirmedUploadMessage(const Sound::SoundSlot& slot);
