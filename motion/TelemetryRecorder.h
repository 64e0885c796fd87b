// Records decoded telemetry to a CSV file, one row per frame, straight to
// disk: an hour at the board's rate costs no memory beyond the file buffer.
#pragma once

#include "common/FileWriting.h"
#include "motion/TelemetryFrame.h"

#include <QString>

namespace Motion {

class TelemetryRecorder {
public:
    // Creates the file and writes the header row; false with the reason when it
    // cannot be created. startMs is the time that row times count from.
    bool start(const QString& path, qint64 startMs, QString* error);
    // Appends one row. False when the disk refuses it: the recording has then
    // stopped and errorString() says why.
    bool record(const TelemetryState& state, qint64 nowMs);
    // Flushes and closes; false when rows did not all reach the file (the
    // recording has stopped either way). True when no recording runs.
    bool stop();

    bool recording() const { return m_file.isOpen(); }
    qint64 frames() const { return m_frames; }
    QString path() const { return m_file.fileName(); }
    QString errorString() const { return m_file.errorString(); }

private:
    GrowingFile m_file;
    qint64 m_startMs = 0;
    qint64 m_frames = 0;
};

// "ms,posx,posy,posz,rotx,roty,rotz,Red,Green,Blue,Battery_V,USB_V,STATO"
QByteArray TelemetryCsvHeader();
QByteArray TelemetryCsvRow(const TelemetryState& state, qint64 ms);

} // namespace Motion
