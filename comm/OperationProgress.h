// How far an operation has got: "20 of 85 values" of "Write Parameters".
#pragma once

#include <QString>

struct OperationProgress {
    QString name;
    QString unit;
    int done = 0;
    int total = 0;

    // The sentence for work the device's loss cut short ("Write Parameters
    // stopped after 20 of 85 values: the connection to /dev/ttyACM0 was lost.").
    QString cutShort(const QString& port) const;
};
