// The simulated board: its memories, the firmware that runs (application or
// loader, chosen by the dip switches), and a "silent" fault that keeps the board
// from sending anything.
//
// The dip switches are read when the board powers up and each time the tool
// opens the port, so a change made while the port is open takes effect at the
// next open, as when the user moves the switches between a close and an open.
#pragma once

#include "sim/AppFirmware.h"
#include "sim/BoardMemory.h"
#include "sim/BoardOutput.h"
#include "sim/LoaderFirmware.h"
#include "sim/SimOptions.h"

#include <QObject>

enum class Firmware { Application, Loader };

class Board : public QObject {
    Q_OBJECT
public:
    Board(const SimOptions& options, QObject* parent = nullptr);

    // Where the board's blocks go (the serial link).
    void setLink(BoardOutput link) { m_link = std::move(link); }

    void powerUp();
    void powerDown();
    void portOpened();
    void receive(const QByteArray& chunk, Arrival arrival);

    void setSwitches(Firmware position) { m_switches = position; }
    Firmware switches() const { return m_switches; }
    Firmware running() const { return m_running; }

    void setSilent(bool silent) { m_silent = silent; }
    bool silent() const { return m_silent; }

    BoardMemory& memory() { return m_memory; }
    AppFirmware& application() { return m_app; }

private:
    void readSwitches();
    void send(const QByteArray& block, Delivery delivery, BlockKind kind);

    BoardMemory m_memory;
    BoardOutput m_link;
    AppFirmware m_app;
    LoaderFirmware m_loader;
    Firmware m_switches = Firmware::Application;
    Firmware m_running = Firmware::Application;
    bool m_silent = false;
};
