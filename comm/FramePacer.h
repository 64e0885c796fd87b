// Sends a list of frames, each followed by its pause, on a timer re-armed as each
// frame leaves: the window keeps painting, and a late tick never shortens the
// next gap.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <functional>

class BoardLink;
class WindowTimer;

struct PacedFrame {
    QByteArray frame; // empty: only the pause
    int pauseAfterMs = 0;
};

class FramePacer : public QObject {
    Q_OBJECT
public:
    explicit FramePacer(BoardLink& link, QObject* parent = nullptr);

    // Sends the first frame now; done runs once the last pause is over.
    void run(QList<PacedFrame> steps, std::function<void()> done);
    void stop();
    bool running() const;
    // Frames sent since run().
    int sent() const { return m_sent; }

signals:
    void frameSent(int sent);

private:
    void tick();

    BoardLink& m_link;
    WindowTimer* m_timer;
    QList<PacedFrame> m_steps;
    std::function<void()> m_done;
    int m_sent = 0;
    bool m_active = false;
};
