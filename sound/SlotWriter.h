// Writes one prepared sound into one slot on a link its operation already holds:
// the slot's erase frames with their pauses, the upload request, the sample
// stream, then the closing pause in which the board stores the tail. Both the
// single upload and the bulk load write through it, so the wire sees the same
// bytes and the same pacing from either.
//
// The board takes the samples at the line's pace with no acknowledgement. They
// are handed to the port a little ahead of the wire on each 20 ms tick: the
// bytes and their order are those of one send per byte, but a tick costs
// microseconds, and the progress moves with the wire rather than with the queue.
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

    // Starts writing; done() follows the closing pause.
    void write(const Sound::SoundSlot& slot, const Sound::PreparedUpload& upload);
    // Sends nothing more, but still waits the closing pause: a board that has had
    // the request takes whatever comes next as samples until it has given up.
    void stopSending();
    // Stops every timer at once (the device is gone); done() never comes.
    void halt();

    bool writing() const { return m_stage != Stage::Idle; }

    // One tick of the transfer: the request, then the stream as the wire takes it.
    void tick();

signals:
    void streamed(qsizetype sent);
    void done();

private:
    enum class Stage { Idle, Erasing, RequestDue, StreamDue, Streaming, Closing };
    void sendDueSamples();
    void close();

    BoardLink& m_link;
    FramePacer m_pacer;
    WindowTimer* m_timer;
    Stage m_stage = Stage::Idle;
    std::uint32_t m_address = 0;
    QByteArray m_stream;
    qsizetype m_sent = 0;
    qint64 m_streamStart = 0;
};
