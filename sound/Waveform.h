// The samples of a sound file as the browser draws them and as the traffic
// monitor lists them: 16-bit little-endian units after the 44-byte header, in
// the board's offset binary (bit 15 inverted).
#pragma once

#include "common/Define.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

namespace Sound {

// How much of a file the waveform reads: the header and at most
// WAVEFORM_READ_SAMPLES samples.
inline constexpr qint64 WAVEFORM_READ_BYTES =
    Define::WAV_HEADER_BYTES + qint64{Define::WAVEFORM_READ_SAMPLES} * Define::WAV_SAMPLE_BYTES;

// Whole samples after the header; a trailing odd byte is not a sample.
qsizetype SampleCount(const QByteArray& file);
// Sample index (from 0) in offset binary. index < SampleCount(file).
quint16 OffsetSample(const QByteArray& file, qsizetype index);

// One point per sample: x counts from 1, y is the offset-binary value. Beyond
// WAVEFORM_MAX_POINTS samples, each run of samples gives its lowest and highest.
QList<QPointF> WaveformPoints(const QByteArray& file);

// A monitor cell: "0x" and four upper-case hexadecimal digits.
QString SampleCellText(quint16 value);
// Where the cell of sample index (from 0) goes: rows of 32 from row 1.
struct GridCell {
    int column;
    int row;
};
GridCell SampleCell(int index);
// How many samples the monitor lists for a file.
int SampleCellCount(const QByteArray& file);

} // namespace Sound
