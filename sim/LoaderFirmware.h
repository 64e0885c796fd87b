// The board's loader, which runs instead of the application when its dip
// switches say so: 5-byte frames "#", code, low byte, high byte, line feed.
// "C" erases the application program memory and "A" appends one program word;
// each is acknowledged with its own code letter.
#pragma once

#include "sim/BoardMemory.h"
#include "sim/BoardOutput.h"
#include "sim/FrameParser.h"

class LoaderFirmware {
public:
    LoaderFirmware(BoardMemory& memory, BoardOutput output);

    void powerUp();
    void receive(const QByteArray& chunk, Arrival arrival);

private:
    void handleFrame(const Frame& frame);

    BoardMemory& m_memory;
    BoardOutput m_output;
    FrameParser m_parser;
};
