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
    const auto pointAt = [&file](qsizetype index) {
        return QPointF(static_cast<qreal>(index + 1), OffsetSample(file, index));
    };
    QList<QPointF> points;
    points.reserve(std::min<qsizetype>(count, Define::WAVEFORM_MAX_POINTS));
    if (count <= Define::WAVEFORM_MAX_POINTS) {
        for (qsizetype i = 0; i < count; ++i)
            points.append(pointAt(i));
        return points;
    }
    // The lowest and the highest sample of each run, in the order they come.
    constexpr qsizetype RUNS = Define::WAVEFORM_MAX_POINTS / 2;
    for (qsizetype run = 0; run < RUNS; ++run) {
        const qsizetype begin = count * run / RUNS;
        const qsizetype end = count * (run + 1) / RUNS;
        qsizetype lowest = begin;
        qsizetype highest = begin;
        for (qsizetype i = begin + 1; i < end; ++i) {
            const quint16 value = OffsetSample(file, i);
            if (value < OffsetSample(file, lowest))
                lowest = i;
            if (value > OffsetSample(file, highest))
                highest = i;
        }
        points.append(pointAt(std::min(lowest, highest)));
        points.append(pointAt(std::max(lowest, highest)));
    }
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
