// End-to-end set-up: a strict simulated board publishing its port in a folder
// of its own and, unless told otherwise, the six windows on real time with the
// real serial component. start() brings it to where a test begins; finish()
// checks the board's pacing and takes everything down again.
#pragma once

#include "SetupWindowFixture.h"
#include "SimBoard.h"

#include <memory>

class EndToEndFixture {
public:
    // What start() does once the simulator runs, in this order.
    struct Steps {
        bool withWindows = true;      // false: the simulator alone, for programs that talk to it themselves
        bool recordingPlayer = false; // the sound browser previews into a player that only records
        bool announceUploads = false; // each upload's end is announced, as once the window has been shown
        bool soundFolder = false;     // the sound browser lists the fixture's folder; announces uploads too
        bool openPort = false;        // the simulator's port chosen in the list and opened through "Open "
        bool waitUntilOpen = false;   // until the board has noticed the open
        bool setUpFlag = false;       // the window takes the board for in set-up mode; nothing is sent
        bool setUpMode = false;       // set-up mode clicked, until the board is in it and ready for more
    };

    EndToEndFixture() = default;
    ~EndToEndFixture();
    EndToEndFixture(const EndToEndFixture&) = delete;
    EndToEndFixture& operator=(const EndToEndFixture&) = delete;

    // True when every step was done; false with the reason otherwise.
    bool start(const SimBoard::Options& options, const Steps& steps, QString* why);
    // True when the tool sent no frame while the (strict) board was still busy;
    // the board's list of late frames otherwise. Takes the board and the
    // windows down either way.
    bool finish(QString* report);
    // Takes the board and the windows down, for tests whose board is not held to its pace.
    void stop();

    // Fills the port list from the system and opens the simulator's port;
    // false when the port is not listed or does not open.
    bool openBoardPort() const;
    // Once the board has received the last frame, waits until it is ready for the
    // next, as a user's next click would come: the status write has no pause
    // after it, and a test clicks at once. False when the board stays busy.
    bool waitUntilBoardIsReady() const;

    // The user moves the board's dip switches when the tool asks: to the loader,
    // and back to the application.
    void moveDipSwitchesWhenAsked() const;

    SimBoard& board() const { return *m_board; }
    SetupWindowFixture& windows() const { return *m_windows; }

private:
    QString runSteps(const Steps& steps) const;

    std::unique_ptr<SimBoard> m_board;
    std::unique_ptr<SetupWindowFixture> m_windows;
};
