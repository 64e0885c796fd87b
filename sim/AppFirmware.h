// The board's application firmware: 7-byte command frames, parameter memory,
// board status with the telemetry stream, sound memory with the sample stream,
// and shot records.
#pragma once

#include "sim/BoardMemory.h"
#include "sim/BoardOutput.h"
#include "sim/FrameParser.h"
#include "sim/MotionModel.h"
#include "sim/Pacing.h"
#include "sim/ReplyJoin.h"

#include <QObject>
#include <QTimer>
#include <map>
#include <optional>
#include <span>

class AppFirmware : public QObject {
    Q_OBJECT
public:
    AppFirmware(BoardMemory& memory, BoardOutput output, int rate, int idleMs, QObject* parent = nullptr);

    // Starts afresh as after reset: status Active, no stream, no upload.
    void powerUp();
    // Stops everything running (another firmware takes over).
    void halt();

    void receive(const QByteArray& chunk, Arrival arrival);
    // A parameter write, as the "1" frame does it (address 2 sets the board status).
    void writeParameter(quint8 address, quint8 value);

    quint8 status() const;
    bool streaming() const { return m_telemetryTimer.isActive(); }
    bool uploading() const { return m_uploading; }
    int rate() const { return m_rate; }
    void setRate(int perSecond);
    MotionModel& motion() { return m_motion; }
    Pacing& pacing() { return m_pacing; }
    ReplyJoin& replyJoin() { return m_replyJoin; }
    void sendShot();
    // Bytes a test wants on the wire as if the board sent them: now, or just
    // before the answer to the next read of `address` (once).
    void inject(const QByteArray& bytes);
    void injectBefore(quint8 address, const QByteArray& bytes);
    // The answer to the next read of `address` goes only after the answers to
    // `later` other reads (once): a board that answers out of order.
    void answerLate(quint8 address, int later);

    // A board gone deaf, for tests: once the next frame with this code has
    // arrived (and been acted on as usual), every byte received is dropped and a
    // sample stream that frame opened never ends, so no "End." comes.
    void deafenAfter(char code);
    // Hears again; a pending deafness is called off.
    void hearAgain();
    std::optional<char> deafAfter() const { return m_deafAfter; }
    bool deaf() const { return m_deaf; }

private:
    using Handler = void (AppFirmware::*)(const Frame&);
    struct Command {
        char code;
        Handler handler;
        const char* name;
        int busyMs; // how long the board takes the frame before it is ready for the next
    };
    static std::span<const Command> commands();

    void handleFrame(const Frame& frame);
    void writeParameter(const Frame& frame);
    void readParameter(const Frame& frame);
    void answer(quint8 address, const QByteArray& reply);
    void armEraseAll(const Frame& frame);
    void eraseAll(const Frame& frame);
    void eraseSector(const Frame& frame);
    void startUpload(const Frame& frame);
    void acceptSlotRequest(const Frame& frame);

    void setStatus(quint8 status);
    void feedUpload(const QByteArray& bytes);
    void finishUpload();
    void goDeaf();
    void sendTelemetry();
    LedSetting bladeLight() const;
    int telemetryIntervalMs() const;

    BoardMemory& m_memory;
    BoardOutput m_output;
    FrameParser m_parser;
    MotionModel m_motion;
    Pacing m_pacing;
    ReplyJoin m_replyJoin;
    std::map<quint8, QByteArray> m_injections; // by the read they come before
    struct LateAnswer {
        quint8 address = 0;
        int later = 0;     // other answers still to go before it
        QByteArray answer; // empty until its read came
    };
    std::optional<LateAnswer> m_late;
    QTimer m_telemetryTimer;
    QTimer m_uploadIdle;
    int m_rate;
    quint32 m_uploadAddress = 0;
    qint64 m_uploadLength = 0;
    bool m_uploading = false;
    bool m_eraseAllArmed = false; // the last frame was the close-read frame
    quint8 m_sequence = 0;
    int m_shotCount = 0;
    std::optional<char> m_deafAfter;
    bool m_deaf = false;
};
