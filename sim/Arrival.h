// When a chunk from the tool came. The simulator cannot see when the tool wrote
// it, only two bounds: it read the chunk at readMs, and at notBeforeMs it had
// seen the pseudo-terminal's input empty, so every byte of the chunk came in
// between. A late read moves only readMs; the input is looked at every few
// milliseconds, which keeps notBeforeMs close behind the real arrival whenever
// the simulator is not starved of time itself.
#pragma once

#include <QtGlobal>

struct Arrival {
    qint64 notBeforeMs = 0;
    qint64 readMs = 0;
};
