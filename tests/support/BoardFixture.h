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
    // Once the board has received the last frame, waits until it is ready for the
    // next, as a user's next click would come: the status write has no pause
    // after it, and a test clicks at once. False when the board stays busy.
    bool waitUntilBoardIsReady() const;
    // True when the tool sent no frame while the (strict) board was still busy;
    // the board's list of late frames otherwise. Checked at the end of each test.
    bool paced(QString* report) const;

    SimBoard board;
    SetupWindowFixture windows{SetupWindowFixture::Mode::RealPort};
};
