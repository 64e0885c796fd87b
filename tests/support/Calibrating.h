// The calibration the set-up window runs, seen from a test.
#pragma once

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "motion/CalibrationOperation.h"

// Null when no calibration holds the link.
inline CalibrationOperation* RunningCalibration()
{
    return qobject_cast<CalibrationOperation*>(setupWindow->board()->link()->current());
}

// The step of the running calibration; 0 when none runs.
inline int CalibrationStep()
{
    const CalibrationOperation* calibration = RunningCalibration();
    return calibration ? calibration->step() : 0;
}
