// One simulated board on its pseudo-terminal: publishes the port under its name,
// serves the control channel beside it, keeps the parameter memory in the state
// file, and cleans up when stopped.
#pragma once

#include "sim/Board.h"
#include "sim/ControlCommands.h"
#include "sim/ControlServer.h"
#include "sim/PortLink.h"
#include "sim/PtyDevice.h"
#include "sim/SimOptions.h"
#include "sim/TrafficLog.h"
#include "sim/WireShape.h"

#include <QObject>

class Simulator : public QObject {
    Q_OBJECT
public:
    explicit Simulator(const SimOptions& options, QObject* parent = nullptr);
    ~Simulator() override;

    bool start(QString* error);
    // Withdraws the port and the control socket and saves the state. Idempotent.
    void stop();

    const SimOptions& options() const { return m_options; }
    Board& board() { return m_board; }
    TrafficLog& trafficLog() { return m_log; }
    WireShape& wire() { return m_wire; }

    // A new pseudo-terminal published under the name; the board powers up.
    bool plug(QString* error);
    // The pseudo-terminal goes away (its holder sees a hang-up) and the link is
    // removed; the board loses power. The control channel stays.
    void unplug();
    bool plugged() const { return m_pty.exists(); }
    bool portOpen() const { return m_pty.isOpen(); }

private:
    void received(const QByteArray& chunk, Arrival arrival);
    void saveState();

    SimOptions m_options;
    Board m_board;
    PtyDevice m_pty;
    WireShape m_wire;
    PortLink m_link;
    TrafficLog m_log;
    ControlCommands m_commands;
    ControlServer m_control;
    bool m_started = false;
};
