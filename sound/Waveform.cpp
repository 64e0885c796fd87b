#include "sound/Waveform.h"

#include "common/Define.h"

#include <algorithm>

namespace Sound {

qsizetype SampleCount(const QByteArray& file)
{
    return std::max<qsizetype>(0, file.size() - Define::WAV_HEADER_BYTES) / Define::WAV_SAMPLE_BYTES;
}

quint16 OffsetSample(const QByteArray& file, qsizetype index)
{
    const qsizetype at = Define::WAV_HEADER_BYTES + index * Define::WAV_SAMPLE_BYTES;
    const auto low = static_cast<unsigned char>(file[at]);
    const auto high = static_cast<unsigned char>(file[at + 1]);
    constexpr int BYTE_BITS = 8;
    return static_cast<quint16>((high << BYTE_BITS | low) ^ Define::SAMPLE_SIGN_BIT);
}

QList<QPointF> WaveformPoints(const QByteArray& file)
{
    const qsizetype count = SampleCount(file);
    QList<QPointF> points;
    points.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        points.append(QPointF(static_cast<qreal>(i + 1), OffsetSample(file, i)));
    return points;
}

QString SampleCellText(quint16 value)
{
    constexpr int DIGITS = 4;
    constexpr int HEX = 16;
    return QStringLiteral("0x") +
           QString::number(value, HEX).toUpper().rightJustified(DIGITS, QLatin1Char('0'));
}

GridCell SampleCell(int index)
{
    return {index % Define::SAMPLE_GRID_COLUMNS,
            Define::SAMPLE_GRID_FIRST_ROW + index / Define::SAMPLE_GRID_COLUMNS};
}

int SampleCellCount(const QByteArray& file)
{
    return static_cast<int>(std::min<qsizetype>(SampleCount(file), Define::SAMPLE_GRID_CELLS));
}

} // namespace Sound
