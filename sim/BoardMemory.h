// Everything the board keeps, whichever firmware runs: its memories and the
// counters that the control channel reports.
#pragma once

#include "sim/ParameterMemory.h"
#include "sim/ProgramMemory.h"
#include "sim/SoundFlash.h"

struct BoardCounters {
    qint64 receivedBytes = 0;
    qint64 frames = 0;          // frames recognised, by either firmware
    qint64 ignoredBytes = 0;    // bytes dropped as garbage or fragments
    qint64 deafBytes = 0;       // bytes dropped by a deaf board
    qint64 ignoredFrames = 0;   // frames with a code the running firmware does not know
    qint64 malformedFrames = 0; // known frames the board cannot read (a read request naming two addresses)
    qint64 uploads = 0;         // sample streams ended (each answered "End.")
    qint64 uploadBytes = 0;     // sample bytes programmed
    qint64 overflowBytes = 0;   // sample bytes beyond the end of sound memory, dropped
    qint64 telemetryFrames = 0; // telemetry frames produced
    qint64 shots = 0;
    qint64 programWords = 0;    // words the loader programmed
    qint64 programOverflow = 0; // words beyond the program memory, dropped
};

struct BoardMemory {
    ParameterMemory parameters;
    SoundFlash sound;
    ProgramMemory program;
    BoardCounters counters;
};
