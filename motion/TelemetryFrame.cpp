#include "motion/TelemetryFrame.h"

#include "common/Framework.h"

Motion::TelemetryState Telemetry;
Motion::BatteryWindow MEASURES_BATTERY;

namespace Motion {

namespace {
qint16 bigEndian(const QByteArray& block, int offset)
{
    const auto high = static_cast<quint8>(block[offset]);
    const auto low = static_cast<quint8>(block[offset + 1]);
    return static_cast<qint16>((high << Define::BITS_PER_BYTE) | low);
}

qint16 littleEndian(const QByteArray& block, int offset)
{
    const auto low = static_cast<quint8>(block[offset]);
    const auto high = static_cast<quint8>(block[offset + 1]);
    return static_cast<qint16>((high << Define::BITS_PER_BYTE) | low);
}

constexpr int FIRST_FIELD_OFFSET = 1;
constexpr int FIELD_BYTES = 2;
constexpr int HEX_COLUMN = 1;
constexpr int DECIMAL_COLUMN = 2;
constexpr int SECOND_DECIMAL_COLUMN = 3;
constexpr int STATE_TEXT_COLUMN = 3;
} // namespace

bool DecodeTelemetry(const QByteArray& block, TelemetryState& state)
{
    if (block.size() < Define::TELEMETRY_DECODED_BYTES)
        return false;
    for (int k = 0; k < Define::TELEMETRY_FIELD_COUNT; ++k)
        state.*TELEMETRY_FIELDS[k] = bigEndian(block, FIRST_FIELD_OFFSET + FIELD_BYTES * k);
    state.STATO = static_cast<quint8>(block[Define::TELEMETRY_STATO_OFFSET]);
    return true;
}

QString TelemetryHex(qint32 value)
{
    return QStringLiteral("%1")
        .arg(static_cast<quint32>(value), Define::TELEMETRY_HEX_MIN_DIGITS, 16, QLatin1Char('0'))
        .toUpper();
}

QString StatoText(qint32 stato)
{
    switch (stato) {
    case Define::STATO_TAVRIN_ACTIVE:
        return QStringLiteral("ACTIVE");
    case Define::STATO_TAVRIN_SLEEP:
        return QStringLiteral("SLEEP");
    case Define::STATO_TAVRIN_COMMAND_MODE_TX:
        return QStringLiteral("COMMAND MODE TX");
    case Define::STATO_TAVRIN_COMMAND_MODE_NOTX:
        return QStringLiteral("COMMAND MODE NO TX");
    default:
        return {};
    }
}

QList<GridCell> TelemetryGridCells(const TelemetryState& state)
{
    QList<GridCell> cells;
    for (int k = 0; k < Define::TELEMETRY_FIELD_COUNT; ++k) {
        const qint16 value = state.*TELEMETRY_FIELDS[k];
        cells.append({HEX_COLUMN, k, TelemetryHex(value)});
        cells.append({DECIMAL_COLUMN, k, QString::number(value)});
        cells.append({SECOND_DECIMAL_COLUMN, k, QString::number(value)});
    }
    cells.append({HEX_COLUMN, Define::TELEMETRY_STATO_ROW, TelemetryHex(state.STATO)});
    cells.append({DECIMAL_COLUMN, Define::TELEMETRY_STATO_ROW, QString::number(state.STATO)});
    const QString text = StatoText(state.STATO);
    if (!text.isEmpty())
        cells.append({STATE_TEXT_COLUMN, Define::TELEMETRY_STATE_TEXT_ROW, text});
    return cells;
}

BatteryGauge BatteryWindow::add(qint16 reading)
{
    std::copy(m_entries.begin() + 1, m_entries.end(), m_entries.begin());
    m_entries.back() = reading;
    // The board's own gauge sums the older readings as unsigned counts; only the
    // newest one keeps its sign.
    long long sum = reading;
    for (auto it = m_entries.begin(); it != m_entries.end() - 1; ++it)
        sum += static_cast<quint16>(*it);
    const long long med = RoundHalfEven(static_cast<double>(sum) / Define::MAXMEASURES_BATT);
    long long per = RoundHalfEven(static_cast<double>(med - Define::BATTERY_EMPTY) * Define::PERCENT_FULL /
                                  Define::BATT_DIFF);
    if (per > Define::PERCENT_FULL)
        per = Define::PERCENT_FULL;
    if (per < 0)
        per = Define::BATTERY_BELOW_SCALE_PERCENT;
    const double pixelsPerPercent =
        static_cast<double>(Define::BATTERY_BAR_FULL_WIDTH) / Define::PERCENT_FULL;
    const long long width =
        std::min<long long>(RoundHalfEven(per * pixelsPerPercent), Define::BATTERY_BAR_FULL_WIDTH);
    return {static_cast<int>(per), static_cast<int>(width)};
}

QList<qint16> DecodeShot(const QByteArray& block)
{
    QList<qint16> samples;
    const int whole = std::max(0, static_cast<int>(block.size()) - Define::SHOT_HEADER_BYTES) / FIELD_BYTES;
    const int count = std::min(whole, Define::SHOT_SAMPLES);
    for (int i = 0; i < count; ++i)
        samples.append(littleEndian(block, Define::SHOT_HEADER_BYTES + FIELD_BYTES * i));
    return samples;
}

} // namespace Motion
