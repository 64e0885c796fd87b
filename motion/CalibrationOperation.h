// Calibration of the motion sensor as one operation on the link.
//
// "Auto" puts the board into TX, asks for the vertical position, samples the
// accelerometer Z reading 98 times at 50 ms, asks for the horizontal position,
// samples it 99 times, then writes both means as the two constants. It can be
// stopped until the writes begin; stopped then, it has written nothing.
// "Man." writes the two constants as typed.
//
// The window shows what the operation asks for (prompt) and passes the wait
// dialog's "OK" on (confirm).
#pragma once

#include "comm/Operation.h"

#include <functional>

class WindowTimer;

class CalibrationOperation : public Operation {
    Q_OBJECT
public:
    // The two fields' texts when the operation was made: what "Man." writes, and
    // what "Auto" writes for a position that measured nothing.
    struct Constants {
        QString vertical;
        QString horizontal;
    };

    // enterTx: selects TX as the status buttons do (the board starts streaming).
    static CalibrationOperation* measure(BoardLink& link, Constants typed, std::function<void()> enterTx,
                                         QObject* parent);
    static CalibrationOperation* manual(BoardLink& link, Constants typed, QObject* parent);

    QString cancelQuestion() const override;
    // "OK": the position asked for is held. A press while sampling is forgotten.
    void confirm();
    // 1 asking for vertical, 2 to 99 sampling it, 100 asking for horizontal,
    // 101 to 199 sampling it, 200 measured.
    int step() const { return m_step; }

signals:
    // What the wait dialog shows: its title and its message.
    void prompt(const QString& title, const QString& text);
    void barMoved(int value);
    // A position's result as the field shows it.
    void verticalMeasured(const QString& text);
    void horizontalMeasured(const QString& text);
    // The sampling is over; the writes follow.
    void measuringDone();

protected:
    void run() override;
    void halt() override;
    void stopSafely() override;

private:
    enum class Kind { Measure, Manual };
    CalibrationOperation(BoardLink& link, Kind kind, Constants typed, std::function<void()> enterTx,
                         QObject* parent);

    void tick();
    void askFor(const QString& text, int stepWhenConfirmed);
    void finishMeasuring();
    void writeMeasured();
    void writeTyped();
    enum class Write { Done, Refused, Stopped };
    Write writeConstant(const QString& text, int highAddress, int lowAddress, int pauseMs);

    Kind m_kind;
    Constants m_constants;
    std::function<void()> m_enterTx;
    WindowTimer* m_timer;
    int m_step = 0;
    bool m_confirmed = false;
    bool m_writing = false;
    int m_frames = 0;          // telemetry frames received since the start
    int m_stepStartFrames = 0; // the count when the current sampling step began
    bool m_verticalSampled = false;
    bool m_horizontalSampled = false;
};
