// The samples of a shot record: a damped oscillation, as a blade rings after a
// hit. Successive shots differ a little in strength.
#pragma once

#include "sim/BoardBlocks.h"

BoardBlocks::ShotSamples dampedOscillation(int shotNumber);
