// Samples shared by the tests of board profiles: good parameters, checksums
// and journal entries.
#pragma once

#include "params/ParameterFile.h"
#include "params/ProfileDifferences.h"
#include "sound/SlotJournal.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace ProfileSamples {

inline const QString SUM_A =
    QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");
inline const QString SUM_B =
    QStringLiteral("fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210");

// Every value 1, default bank 3, frequency mode 1, read from release 16.0; no
// calibration, as a profile leaves it out.
Params::ParameterFileContent AllOnes();

// A profile with good parameters and `entries` laid over its top level.
QByteArray ProfileWith(const QJsonObject& entries);

// A slot the journal knows to hold `file`, having received bytes of checksum
// `sentChecksum` (none: recorded before the received bytes were).
Sound::JournalEntry Known(int slot, const QString& file, const QString& checksum,
                          const QString& sentChecksum = {});

// SHA-256 of a file's bytes, worked out here rather than by the code under test.
QString Sha256Of(const QString& path);

// "key | profile | board | source", for tables of expected differences.
QStringList Lines(const QList<Params::ProfileDifference>& differences);

} // namespace ProfileSamples
