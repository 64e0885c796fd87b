// Telemetry, live chart and shot display of the set-up window.
#include "app/Serial1.h"

void TSerialForm1::UnpackData(const QByteArray&) {}

void TSerialForm1::GraphUpdate() {}

void TSerialForm1::ShowShot(const QByteArray&) {}

void TSerialForm1::ChartReset() {}
