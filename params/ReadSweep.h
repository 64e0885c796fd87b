// "Read Parameters": one read request for each of the 226 parameter addresses,
// one every 10 ms, without waiting for the answers. It holds the link: the
// answers are decoded as they come (they are routed, not kept), and nothing else
// may send meanwhile, so no frame lands between two requests and takes an answer
// meant for the screen.
#pragma once

#include "comm/Operation.h"

class WindowTimer;

class ReadSweep : public Operation {
    Q_OBJECT
public:
    explicit ReadSweep(BoardLink& link, QObject* parent = nullptr);

    // Nothing is changed on the board: stopping is always safe.
    QString cancelQuestion() const override;

protected:
    void run() override;
    void halt() override;

private:
    void sendNext();

    WindowTimer* m_timer;
    int m_next = 0; // the address of the next request
};
