#include "motion/TelemetryRecorder.h"

namespace Motion {

namespace {
// A flush every second of frames: a crash or a pulled plug loses at most that.
constexpr qint64 FLUSH_EVERY_FRAMES = 50;
constexpr char SEPARATOR = ',';
} // namespace

QByteArray TelemetryCsvHeader()
{
    return QByteArrayLiteral("ms,posx,posy,posz,rotx,roty,rotz,Red,Green,Blue,Battery_V,USB_V,STATO\n");
}

QByteArray TelemetryCsvRow(const TelemetryState& state, qint64 ms)
{
    QByteArray row = QByteArray::number(ms);
    for (qint16 TelemetryState::*field : TELEMETRY_FIELDS)
        row += SEPARATOR + QByteArray::number(state.*field);
    row += SEPARATOR + QByteArray::number(state.STATO) + '\n';
    return row;
}

bool TelemetryRecorder::start(const QString& path, qint64 startMs, QString* error)
{
    stop();
    m_frames = 0;
    m_startMs = startMs;
    if (!m_file.open(path) || !m_file.write(TelemetryCsvHeader())) {
        if (error)
            *error = m_file.errorString();
        return false;
    }
    return true;
}

bool TelemetryRecorder::record(const TelemetryState& state, qint64 nowMs)
{
    if (!m_file.write(TelemetryCsvRow(state, nowMs - m_startMs)))
        return false;
    return ++m_frames % FLUSH_EVERY_FRAMES != 0 || m_file.flush();
}

bool TelemetryRecorder::stop()
{
    return m_file.close();
}

} // namespace Motion
