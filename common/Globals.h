// Program-wide values shared by the windows (unit-level variables).
#pragma once

// When true, the end of an upload is announced with a message; false while the
// bulk load of base sounds runs.
extern bool RICHIESTA;
// The loader's acknowledgement: set to 1 by a reply that begins with "A" or "C".
extern int READY;
