// Taking the board over to its loader, one step per 200 ms tick: the port is
// closed, the user moves the dip switches, the port is opened again, and the
// firmware window takes over. Nothing is sent to the board meanwhile, so the
// hand-over holds no link; what each step does to the windows is theirs to say.
#pragma once

#include <QObject>
#include <functional>

class WindowTimer;

class HandOver : public QObject {
    Q_OBJECT
public:
    enum Step { CLOSE_PORT = 1, ASK_FOR_LOADER = 2, OPEN_PORT = 3, SHOW_FIRMWARE_WINDOW = 4, STOP = 5 };

    struct Actions {
        std::function<void()> closePort;
        std::function<void()> askForLoader;       // returns once the user has moved the switches
        std::function<bool()> reopenPort;         // false when the port did not open (the user was told)
        std::function<void()> showFirmwareWindow;
    };

    HandOver(Actions actions, QObject* parent = nullptr);

    void start();
    // The device went away: no further step runs.
    void stop();
    bool running() const;
    // The next step to run; STOP + 1 once over.
    int step() const { return m_step; }
    WindowTimer* timer() const { return m_timer; }

signals:
    // ok: the firmware window shows on an open port.
    void finished(bool ok);

private:
    void tick();

    Actions m_actions;
    WindowTimer* m_timer;
    int m_step = 0;
};
