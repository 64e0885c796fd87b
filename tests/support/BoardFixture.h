// End-to-end set-up: a simulated board publishing its port in a folder of its
// own, and the six windows on real time with the real serial component.
#pragma once

#include "SetupWindowFixture.h"
#include "SimBoard.h"

class BoardFixture {
public:
    BoardFixture();
    explicit BoardFixture(const SimBoard::Options& options);
    ~BoardFixture();

    // True when the simulator runs; its error output otherwise.
    bool ready(QString* why) const;
    // Fills the port list from the system and opens the simulator's port;
    // false when the port is not listed or does not open.
    bool openBoardPort() const;

    SimBoard board;
    SetupWindowFixture windows{SetupWindowFixture::Mode::RealPort};
};
