// "Write Parameters": the checked plan of the three banks, one frame per byte.
// The first frame leaves at once and each next one at least 100 ms after the one
// before: the timer restarts as each frame is handed over, so a late tick never
// makes a gap short, and the link holds a frame back until the previous one has
// had its 100 ms from the moment its write left for the port. The operation ends
// once the last frame has had its 100 ms. Cancel stops between two frames.
#pragma once

#include "comm/Operation.h"
#include "params/ParameterWriter.h"

class WindowTimer;

class ParameterWriteOperation : public Operation {
    Q_OBJECT
public:
    ParameterWriteOperation(BoardLink& link, const Params::WritePlan& plan, QObject* parent = nullptr);
    // Some writes of a plan, in its order (those a board does not hold yet).
    ParameterWriteOperation(BoardLink& link, QList<Params::ParameterWrite> writes, QObject* parent = nullptr);

    QString cancelQuestion() const override;

protected:
    void run() override;
    void halt() override;
    void stopSafely() override;

private:
    void sendNext();

    QList<Params::ParameterWrite> m_writes; // in the plan's order
    WindowTimer* m_timer;
    int m_sent = 0;
};
